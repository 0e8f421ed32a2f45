#pragma once

// Least squares over a named parameter vector, in the shape of gemmi's LevMar: a target holds
// its parameters, gives the values it predicts and their derivatives; the fit moves the
// parameters. Gauss-Newton steps over Eigen.

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace tesral::physics {

/** Refined quantities by name (for messages and tables) with their values. */
class ParameterVector {
  public:
    /** Appends a parameter and returns its index. */
    int add(std::string name, double value) {
        names_.push_back(std::move(name));
        values_.conservativeResize(values_.size() + 1);
        values_(values_.size() - 1) = value;
        return static_cast<int>(names_.size()) - 1;
    }
    int size() const { return static_cast<int>(names_.size()); }
    const std::string& name(int i) const { return names_[static_cast<std::size_t>(i)]; }
    /** Index of `name`, or -1. */
    int indexOf(const std::string& name) const {
        const auto it = std::find(names_.begin(), names_.end(), name);
        return it == names_.end() ? -1 : static_cast<int>(it - names_.begin());
    }
    double operator[](int i) const { return values_(i); }
    double& operator[](int i) { return values_(i); }
    const Eigen::VectorXd& values() const { return values_; }
    void setValues(const Eigen::VectorXd& v) { values_ = v; }

  private:
    std::vector<std::string> names_;
    Eigen::VectorXd values_;
};

struct LeastSquaresSettings {
    int maxSteps = 20;
    /** Stop when no parameter moves by more than this (in its own unit). */
    double smallestStep = 1e-12;
};

struct LeastSquaresFit {
    /** False when the observations do not determine every parameter. */
    bool determined = false;
    /** (J^T J)^-1 at the last step; times the residual variance it is the covariance. */
    Eigen::MatrixXd normalInverse;
    double residual2 = 0.0;  // sum of squared residuals at the last step's start
};

/**
 * Refines target.parameters() by Gauss-Newton. The target gives
 * `observed()` (Eigen::VectorXd) and `valuesAndDerivatives(values, jacobian)`, the
 * predicted values and d value / d parameter (one row per observation) at its parameters.
 */
template <class Target>
LeastSquaresFit gaussNewton(Target& target, const LeastSquaresSettings& settings = {}) {
    LeastSquaresFit fit;
    const Eigen::VectorXd observed = target.observed();
    const int n = target.parameters().size();
    Eigen::VectorXd values(observed.size());
    Eigen::MatrixXd jacobian(observed.size(), n);
    for (int step = 0; step < settings.maxSteps; ++step) {
        target.valuesAndDerivatives(values, jacobian);
        const Eigen::VectorXd residual = observed - values;
        fit.residual2 = residual.squaredNorm();
        const Eigen::MatrixXd normal = jacobian.transpose() * jacobian;
        // Relative to the largest pivot: a parameter no observation depends on leaves a zero one.
        Eigen::FullPivLU<Eigen::MatrixXd> lu(normal);
        lu.setThreshold(1e-12);
        fit.determined = lu.isInvertible();
        if (!fit.determined) return fit;
        fit.normalInverse = lu.inverse();
        const Eigen::VectorXd delta = fit.normalInverse * (jacobian.transpose() * residual);
        target.parameters().setValues(target.parameters().values() + delta);
        if (delta.cwiseAbs().maxCoeff() < settings.smallestStep) break;
    }
    return fit;
}

}  // namespace tesral::physics
