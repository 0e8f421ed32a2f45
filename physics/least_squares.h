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

namespace tesral::physics {

struct DampedSettings {
    int maxIterations = 30;
    /** Converged when chi^2 falls by less than this fraction in an accepted step. */
    double relativeDecrease = 1e-7;
    /** A normal matrix scaled to unit diagonal with a pivot below this is singular. */
    double singularPivot = 1e-12;
};

/** How a damped least-squares fit ended. */
struct DampedFit {
    bool converged = false;
    bool cancelled = false;
    /** Singular normal matrix: the parameters (by index) the data cannot tell apart. */
    std::vector<int> undetermined;
    /** Of those, the pairs whose derivatives are nearly parallel: |cosine| above 0.95. */
    std::vector<std::pair<std::pair<int, int>, double>> correlated;
    int iterations = 0;
    double chi2 = 0.0;  // sum of w r^2 at the values left
    /** (J^T W J)^-1 at the values left; empty when singular. */
    Eigen::MatrixXd normalInverse;
};

/**
 * Levenberg-Marquardt with Marquardt's scaling (the damping adds lambda times the normal
 * matrix's diagonal). The target gives `bool residuals(values, r)` (r = sqrt(w) (y_o - y_c);
 * false when the values cannot be evaluated), `void jacobian(values, r, J)` (J = d sqrt(w) y_c
 * / d p, one row per observation) and `void clamp(values)` (onto the bounds).
 * `stopped()` is asked between iterations, `onIteration(iteration, chi2)` told after each.
 * The values left are always the best evaluated.
 */
template <class Target, class Stopped, class Heard>
DampedFit levenbergMarquardt(Target& target, Eigen::VectorXd& values,
                             const DampedSettings& settings, Stopped stopped, Heard onIteration) {
    DampedFit fit;
    const Eigen::Index n = values.size();
    Eigen::VectorXd r;
    if (!target.residuals(values, r)) return fit;
    fit.chi2 = r.squaredNorm();
    Eigen::MatrixXd jacobian(r.size(), n);
    double lambda = 1e-3;
    const auto scaledNormal = [&](Eigen::MatrixXd& normal, Eigen::VectorXd& scale) {
        target.jacobian(values, r, jacobian);
        normal = jacobian.transpose() * jacobian;
        scale = normal.diagonal().cwiseSqrt();
        for (Eigen::Index j = 0; j < n; ++j)
            if (!(scale(j) > 0.0) || !std::isfinite(scale(j))) fit.undetermined.push_back(int(j));
    };
    // The members of the null direction, and the pairs among them of nearly parallel columns.
    const auto findUndetermined = [&](const Eigen::MatrixXd& unit) {
        Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> eigen(unit);
        const Eigen::VectorXd null = eigen.eigenvectors().col(0);
        for (Eigen::Index j = 0; j < n; ++j)
            if (std::abs(null(j)) > 0.3) fit.undetermined.push_back(int(j));
        for (const int i : fit.undetermined)
            for (const int j : fit.undetermined)
                if (i < j && std::abs(unit(i, j)) > 0.95)
                    fit.correlated.push_back({{i, j}, unit(i, j)});
    };
    Eigen::MatrixXd normal;
    Eigen::VectorXd scale;
    for (fit.iterations = 0; fit.iterations < settings.maxIterations;) {
        if (stopped()) {
            fit.cancelled = true;
            return fit;
        }
        scaledNormal(normal, scale);
        if (!fit.undetermined.empty()) return fit;
        const Eigen::MatrixXd unit =
            scale.asDiagonal().inverse() * normal * scale.asDiagonal().inverse();
        Eigen::LDLT<Eigen::MatrixXd> check(unit);
        if (check.info() != Eigen::Success || check.vectorD().minCoeff() < settings.singularPivot) {
            findUndetermined(unit);
            if (fit.undetermined.empty()) fit.undetermined.push_back(0);
            return fit;
        }
        const Eigen::VectorXd gradient = scale.asDiagonal().inverse() * (jacobian.transpose() * r);
        bool accepted = false;
        double decrease = 0.0;
        for (int attempt = 0; attempt < 12 && !accepted; ++attempt) {
            Eigen::MatrixXd damped = unit;
            damped.diagonal().array() += lambda;
            const Eigen::VectorXd step =
                scale.asDiagonal().inverse() * damped.ldlt().solve(gradient);
            Eigen::VectorXd trial = values + step;
            target.clamp(trial);
            Eigen::VectorXd trialR;
            if (step.allFinite() && target.residuals(trial, trialR)) {
                const double chi2 = trialR.squaredNorm();
                if (std::isfinite(chi2) && chi2 <= fit.chi2) {
                    decrease = fit.chi2 > 0.0 ? (fit.chi2 - chi2) / fit.chi2 : 0.0;
                    values = trial;
                    r = std::move(trialR);
                    fit.chi2 = chi2;
                    accepted = true;
                    lambda = std::max(lambda / 5.0, 1e-9);
                    break;
                }
            }
            lambda *= 8.0;
        }
        ++fit.iterations;
        onIteration(fit.iterations, fit.chi2);
        if (!accepted || decrease < settings.relativeDecrease) {
            fit.converged = true;
            break;
        }
    }
    scaledNormal(normal, scale);
    if (!fit.undetermined.empty()) return fit;
    Eigen::FullPivLU<Eigen::MatrixXd> lu(normal);
    lu.setThreshold(1e-14);
    if (lu.isInvertible()) fit.normalInverse = lu.inverse();
    return fit;
}

}  // namespace tesral::physics
