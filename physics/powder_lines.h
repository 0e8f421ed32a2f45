#pragma once

// The lines of a powder pattern: the reflections of a run merged by their diffraction angle.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/generation.h"
#include "engine/run_parameters.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/** Reflections whose 2-theta agree to this many degrees form one line. */
constexpr double kLineMergeDegrees = 1e-6;

/** The Cahn-Shechtman-Gratias indices of an icosahedral reflection, as "N/M". */
struct IcosahedralLabel {
    long long n = 0;
    long long m = 0;
};

/** One powder line. */
struct PowderLine {
    double twoTheta = 0.0;  // degrees
    double d = 0.0;         // angstrom
    double hPerp = 0.0;     // |H-perp|, 1/angstrom
    int multiplicity = 0;   // reflections merged into the line
    double weight = 0.0;    // summed I * Lp (I relative, 100 = the run's strongest reflection)
    /** The member with the smallest sum of absolute indices (n = 5 or 6 numbers). */
    std::array<int, 6> indices{};
    int indexDimension = 5;
    /** Icosahedral only. */
    std::optional<IcosahedralLabel> label;
    /**
     * Approximant runs only: the cell's h k l of the representative as absolute values,
     * for a cubic cell sorted (h >= k >= l >= 0). Families of one d (cubic: of one
     * h^2 + k^2 + l^2) share a line; the one with the most intensity gives the representative.
     */
    std::optional<std::array<int, 3>> hkl;
    /**
     * |H-par|^2 split for a change of lattice constants, 1/angstrom^2 at the run's a and c:
     * `plane` scales with 1/a^2, `axis` (the periodic axis; 0 for icosahedral) with 1/c^2.
     */
    double plane2 = 0.0;
    double axis2 = 0.0;
};

/** How the Lorentz-polarisation factor is formed. */
struct LpSettings {
    bool neutrons = false;
    /** X-rays: monochromator angle 2-theta_M in degrees; 0 for none. */
    double monochromator = 0.0;
};

/** Lp at the diffraction angle `twoTheta` (degrees). */
double lorentzPolarisation(double twoTheta, const LpSettings& lp);

/**
 * The Lp settings for a model's radiation. Electrons make no powder pattern here: throws
 * std::invalid_argument saying so.
 */
LpSettings lpSettingsFor(const Radiation& radiation, double monochromator);

/**
 * Sets the loop limits of `parameters` so that the index box holds every reflection that can
 * pass the theta and qi windows: the powder pattern needs whole orbits, whatever limits were
 * typed. Returns why it cannot (unusable lattice constants, limits beyond 32767); empty on
 * success.
 */
std::string widenToWholeOrbits(RunParameters& parameters);

/** The six-dimensional lattice constant of an icosahedral basis: the length of a direct vector. */
double sixDimensionalConstant(const LatticeBasis& basis);

/**
 * The six-dimensional constant the (N/M) labels refer to: that of the run's basis, or for an
 * F-centred group (entered with the constant of its doubled cell) the primitive lattice of
 * half of it, so that N and M are the customary quarter of the doubled cell's.
 */
double labelConstant(const RunResult& run);

/**
 * The (N/M) label from |H-par| and |H-perp| (1/angstrom) for the six-dimensional constant
 * a6D (angstrom); nothing when N or M lies farther than `tolerance` from a whole number.
 */
std::optional<IcosahedralLabel> icosahedralLabel(double hPar, double hPerp, double a6D,
                                                 double tolerance = 1e-4);

/** N and M as real numbers, before rounding. */
std::array<double, 2> icosahedralLabelValues(double hPar, double hPerp, double a6D);

/**
 * The lines of a completed run with intensities, in increasing 2-theta. Returns an empty list
 * when `stop` asks to stop.
 */
std::vector<PowderLine> powderLines(const RunResult& run, const LpSettings& lp,
                                    const std::function<bool()>& stop = {});

/** 2-theta (degrees) of a line at lattice constants a and c, without zero shift; NaN beyond 180. */
double lineTwoTheta(const PowderLine& line, double wavelength, double aRatio2, double cRatio2);

/** "2 1 1 1 1 1" */
std::string indexText(const PowderLine& line);

/** "18/29" */
std::string labelText(const IcosahedralLabel& label);

/** "3 3 0" */
std::string hklText(const std::array<int, 3>& hkl);

/** What a line is called in plots: its hkl, else its (N/M), else its indices. */
std::string lineName(const PowderLine& line);

}  // namespace tesral::physics
