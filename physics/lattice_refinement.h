#pragma once

// Lattice constants and a 2-theta zero shift refined by least squares from measured peaks.

#include <string>
#include <vector>

#include "physics/least_squares.h"
#include "physics/measured_pattern.h"
#include "physics/powder_lines.h"

namespace tesral::physics {

struct RefinementSettings {
    /** A peak matches the nearest calculated line within this many degrees of 2-theta. */
    double tolerance = 0.15;
    /** Lines weaker than this percentage of the strongest are not matched. */
    double weakestLine = 1.0;
    bool refineZero = true;
    /** a (and c) are first scanned over start * (1 +- scanRange) for the most matched peaks. */
    double scanRange = 0.03;
};

/** The lattice the lines were calculated for. */
struct LineLattice {
    double wavelength = 0.0;  // angstrom
    double a = 0.0;           // angstrom
    double c = 0.0;           // angstrom; axial systems only
    bool axial = false;
};

struct MatchedPeak {
    double observed = 0.0;    // 2-theta, degrees
    double calculated = 0.0;  // with the refined constants and zero shift
    double d = 0.0;           // angstrom, refined
    std::size_t line = 0;     // into the lines
};

struct Refinement {
    /** Why there is no result; empty when there is one. */
    std::string message;
    /**
     * Set when the fit ran but is no result: fewer than half the peaks matched, or fewer than
     * two more matched peaks than parameters. Names the likely cause; do not offer the values.
     */
    std::string warning;
    double a = 0.0, aSigma = 0.0;
    double c = 0.0, cSigma = 0.0;
    double zero = 0.0, zeroSigma = 0.0;  // 2-theta_obs = 2-theta_calc + zero
    /** Standard uncertainties need more peaks than parameters; false when they equal. */
    bool hasSigmas = false;
    int parameters = 0;
    std::vector<MatchedPeak> matches;
    double meanAbsoluteDelta = 0.0;  // degrees
    /** The peaks offered. */
    std::size_t peaks = 0;
    /** Where the least squares started: the best match count of the scan (angstrom). */
    double startA = 0.0, startC = 0.0;
    /** The refined parameters by name ("a", "c" on the axial systems, "zero" when refined)
     *  and their standard uncertainties (zero without sigmas), in the same order. */
    ParameterVector values;
    std::vector<double> sigmas;

    /** A fit ran (it may still be no result: see usable). */
    bool ok() const { return message.empty(); }
    /** A result to show and offer. */
    bool usable() const { return ok() && warning.empty(); }
};

/**
 * Scans a (and c) around the start for the most peaks matched, matches each peak to the
 * nearest calculated line (of the lines of `lattice`, strong enough) within the tolerance,
 * refines a (and c for the axial systems) and the zero shift by least
 * squares, then matches again with the refined values until the matches stay the same.
 */
Refinement refineLattice(const std::vector<PowderLine>& lines, const std::vector<Peak>& peaks,
                         const LineLattice& lattice, const RefinementSettings& settings = {});

}  // namespace tesral::physics
