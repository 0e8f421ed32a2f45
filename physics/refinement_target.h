#pragma once

// What a model refinement minimises: the observations, the calculated values of a state and
// their derivatives with respect to the refined parameters, for Levenberg-Marquardt.

#include <Eigen/Dense>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "physics/model_refinement.h"
#include "physics/powder_lines.h"
#include "physics/refinement_parameters.h"
#include "physics/refinement_reflections.h"

namespace tesral::physics {

/** The observations as the target fits them (those in the 2-theta range). */
struct FittedData {
    ObservationKind kind = ObservationKind::Pattern;
    std::vector<double> x;  // 2-theta, degrees (patterns, peak lists)
    Eigen::VectorXd observed;
    Eigen::VectorXd sqrtWeight;  // 1 / sigma
    /** The 2-theta span the background's Chebyshev argument maps onto [-1, 1]. */
    double low = 0.0, high = 1.0;
};

class RefinementTarget {
  public:
    RefinementTarget(std::shared_ptr<const RefinementReflections> reflections, FittedData data,
                     std::vector<ParameterRef> refs, RefinementState start, double wavelength,
                     LpSettings lp, double tolerance);

    const FittedData& data() const { return data_; }
    const std::vector<ParameterRef>& refs() const { return refs_; }
    /** The scale of the start state (before the fit: the best for the start's other values). */
    void setStartScale(double scale) { start_.scale = scale; }
    /** The start state with the refined values set. */
    RefinementState stateOf(const Eigen::VectorXd& values) const;
    Eigen::VectorXd valuesOf(const RefinementState& state) const;

    /** Group intensities relative to the start's strongest (100). */
    std::vector<double> groupIntensities(const RefinementState& state) const;
    /** Calculated values at `x` (patterns, peak lists) or per group (intensities); false when the
     * state gives no width. `background` gets the background part when not null. */
    bool predict(const RefinementState& state, const std::vector<double>& x, Eigen::VectorXd& y,
                 Eigen::VectorXd* background = nullptr) const;
    /** The peak list's lines within the tolerance of each peak, at `state`. */
    std::vector<std::vector<std::size_t>> peakMembers(const RefinementState& state) const;
    /** 2-theta of a group at `state` (degrees, with the zero shift); NaN beyond 180. */
    double twoThetaOf(const ReflectionGroup& g, const RefinementState& state) const;
    /** d (angstrom) of a group at `state`. */
    double dOf(const ReflectionGroup& g, const RefinementState& state) const;

    // For levenbergMarquardt.
    bool residuals(const Eigen::VectorXd& values, Eigen::VectorXd& r) const;
    void jacobian(const Eigen::VectorXd& values, const Eigen::VectorXd& r,
                  Eigen::MatrixXd& j) const;
    void clamp(Eigen::VectorXd& values) const;

  private:
    /** The state's strain less the run's, which the reflections' parts include. */
    PhasonStrain strainBeyondRun(const RefinementState& s) const;
    /** Pattern values and the analytic derivative columns (those flagged). */
    bool predictPattern(const RefinementState& state, const std::vector<double>& x,
                        Eigen::VectorXd& y, Eigen::MatrixXd* jacobian,
                        Eigen::VectorXd* background) const;

    std::shared_ptr<const RefinementReflections> reflections_;
    FittedData data_;
    std::vector<ParameterRef> refs_;
    RefinementState start_;
    double wavelength_;
    LpSettings lp_;
    double tolerance_;
    double norm_ = 1.0;  // 100 / the start's strongest group intensity
    std::vector<bool> analytic_;
    bool strained_ = false;  // a strain is refined: positions follow it
    // The last few group intensities by the values they depend on.
    mutable std::mutex cacheMutex_;
    mutable std::map<std::vector<double>, std::vector<double>> cache_;
};

}  // namespace tesral::physics
