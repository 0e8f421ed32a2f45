#pragma once
// A structure model, its lattice and the powder profile refined against measured data: a
// whole pattern, a peak list with intensities, or the integrated intensities of a single
// crystal. Levenberg-Marquardt over Eigen; the run is the calculation's, the model its model.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "physics/calculation.h"

namespace tesral::physics {

enum class ObservationKind { Pattern, PeakList, Intensities };

/** One line of a single-crystal list: indices, I and sigma. */
struct IntensityObservation {
    std::array<int, 6> indices{};
    int dimension = 6;  // 5 or 6 indices
    double intensity = 0.0;
    double sigma = 0.0;
    int line = 0;  // of the file
};

/** What a refinement is fitted to. */
struct Observations {
    ObservationKind kind = ObservationKind::Pattern;
    /** Pattern and peak list: 2-theta (degrees, increasing), y or I, and sigma (empty: counts). */
    std::vector<double> twoTheta;
    std::vector<double> value;
    std::vector<double> sigma;
    /** Integrated intensities. */
    std::vector<IntensityObservation> reflections;
    std::string source;
    /** What the reader chose that the user should hear of (decimal commas); often empty. */
    std::string note;
};

/**
 * Reads a file of observations: a whole pattern (2-theta, y, optional sigma), a peak list
 * (2-theta, I, optional sigma; always when `peaks` is set) or integrated intensities (five or
 * six integer indices, I, sigma). Throws std::runtime_error "path:line: what is wrong".
 */
Observations readObservationsFile(const std::string& path, bool peaks = false);
Observations readObservationsText(std::string_view text, const std::string& name,
                                  bool peaks = false);

struct RefineOptions {
    /**
     * Parameters to refine: scale, zero, a, c, background, u, v, w, eta, and the site ones
     * occupancy, radius, inner_radius, window_scale, b_par, b_perp (bare: one value shared by
     * every site that has it; "LABEL.radius": that site's own).
     */
    std::vector<std::string> vary;
    /** Chebyshev terms of the background. */
    int backgroundTerms = 4;
    /** Start values of the profile and the zero shift (degrees). */
    ProfileShape shape;
    double zero = 0.0;
    /** X-rays: the monochromator's 2-theta (degrees); 0 for none. */
    double monochromator = 0.0;
    /** The 2-theta range of the observations used; none: all. */
    std::optional<std::array<double, 2>> twoThetaRange;
    int maxIterations = 30;
    /** Peak lists: an observed peak takes the calculated lines within this many degrees. */
    double tolerance = 0.15;
};

struct RefinedValue {
    std::string name;
    double start = 0.0;
    double value = 0.0;
    double su = 0.0;
};

struct Correlation {
    std::string first, second;
    double value = 0.0;
};

/** One observation of a peak list or intensity list, with what the model gives for it. */
struct ObservationFit {
    double twoTheta = 0.0;  // peak lists; 0 for intensities
    double d = 0.0;
    std::array<int, 6> indices{};
    int dimension = 6;
    std::optional<IcosahedralLabel> label;
    /** On the same scale. */
    double observed = 0.0;
    double calculated = 0.0;
    double sigma = 0.0;
};

struct FiguresOfMerit {
    double rp = 0.0, rwp = 0.0, rexp = 0.0, chi2 = 0.0;  // patterns and peak lists
    double r1 = 0.0, wr2 = 0.0, goof = 0.0;              // intensities
};

struct ModelRefinement {
    /** Why it cannot start (no observation matched, too few observations, an unknown name). */
    std::string message;
    /** Why it stopped early: parameters the data cannot tell apart, cancelled. Values are the last
     * good ones. */
    std::string warning;
    bool converged = false;
    bool cancelled = false;
    int iterations = 0;
    /** In the order of RefineOptions::vary, expanded (background: one per term). */
    std::vector<RefinedValue> parameters;
    /** Pairs above 0.9 in absolute value. */
    std::vector<Correlation> correlations;
    FiguresOfMerit merit;

    /** The refined model and numbers: loads and runs as the start did. */
    StructureModel model;
    double a = 0.0, c = 0.0, zero = 0.0, scale = 0.0;
    ProfileShape shape;
    std::vector<double> background;
    /** Patterns: at the observed 2-theta, the calculated values and the background alone. */
    std::vector<double> calculated;
    std::vector<double> backgroundCurve;
    /** Peak lists and intensity lists: one per observation. */
    std::vector<ObservationFit> observations;

    bool ok() const { return message.empty(); }
};

/**
 * Refines `start` (its run numbers and model) against `data`. `onIteration` hears each
 * iteration and its R (R_wp for patterns, wR2 for intensities), from the calling thread; the
 * watch's stop ends it between iterations with the last good values.
 */
ModelRefinement refineModel(const Calculation& start, const Observations& data,
                            const RefineOptions& options, const Watch& watch = {},
                            const std::function<void(int iteration, double r)>& onIteration = {});

/** The names refineModel accepts for the model in a run of `system` (globals, then per site). */
std::vector<std::string> refinableNames(const StructureModel& model, QuasicrystalSystem system);

}  // namespace tesral::physics
