#include "physics/refinement_target.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace tesral::physics {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
const double kLn2 = std::log(2.0);
/** Cached group intensities kept (the base and the two sides of a difference). */
constexpr std::size_t kCacheSize = 6;

/** The values the |F|^2 depend on: the lattice constants, the strain and every site's refinable
 * fields. */
std::vector<double> intensityKey(const RefinementState& s) {
    std::vector<double> key{s.a, s.c};
    key.insert(key.end(), s.strain.values.begin(), s.strain.values.end());
    for (const Site& site : s.model.sites)
        for (const double v :
             {site.occupancy, site.domain.radius, site.domain.innerRadius, site.domain.scale,
              site.domain.innerScale, site.bParallel, site.bPerpendicular})
            key.push_back(v);
    return key;
}

/** The step of a central difference for the parameter at `value`. */
double differenceStep(const ParameterRef& ref, double value) {
    switch (ref.quantity) {
        case RefinedQuantity::A:
        case RefinedQuantity::C:
            return 1e-5 * std::abs(value);
        case RefinedQuantity::Occupancy:
            return 1e-4;
        case RefinedQuantity::BParallel:
        case RefinedQuantity::BPerpendicular:
            return 1e-3;
        case RefinedQuantity::Phason:
        case RefinedQuantity::PhasonElement:
            return 1e-5;
        default:
            return 1e-4 * std::max(std::abs(value), 1e-3);
    }
}

void chebyshev(double xi, int terms, double* t) {
    if (terms > 0) t[0] = 1.0;
    if (terms > 1) t[1] = xi;
    for (int k = 2; k < terms; ++k) t[k] = 2.0 * xi * t[k - 1] - t[k - 2];
}

}  // namespace

RefinementTarget::RefinementTarget(std::shared_ptr<const RefinementReflections> reflections,
                                   FittedData data, std::vector<ParameterRef> refs,
                                   RefinementState start, double wavelength, LpSettings lp,
                                   double tolerance)
    : reflections_(std::move(reflections)),
      data_(std::move(data)),
      refs_(std::move(refs)),
      start_(std::move(start)),
      wavelength_(wavelength),
      lp_(lp),
      tolerance_(tolerance) {
    const std::vector<double> raw = groupIntensities(start_);  // with norm 1
    const double top = raw.empty() ? 0.0 : *std::max_element(raw.begin(), raw.end());
    {
        std::lock_guard<std::mutex> lock(cacheMutex_);
        cache_.clear();
    }
    norm_ = top > 0.0 ? 100.0 / top : 1.0;
    for (const ParameterRef& ref : refs_) {
        bool analytic = ref.quantity == RefinedQuantity::Scale;
        if (data_.kind == ObservationKind::Pattern)
            analytic = analytic || (!ref.onSites() && !ref.onLattice() && !ref.onStrain());
        analytic_.push_back(analytic);
        strained_ = strained_ || ref.onStrain();
    }
}

RefinementState RefinementTarget::stateOf(const Eigen::VectorXd& values) const {
    RefinementState state = start_;
    for (std::size_t j = 0; j < refs_.size(); ++j)
        setValue(refs_[j], state, values(static_cast<Eigen::Index>(j)));
    return state;
}

Eigen::VectorXd RefinementTarget::valuesOf(const RefinementState& state) const {
    Eigen::VectorXd v(static_cast<Eigen::Index>(refs_.size()));
    for (std::size_t j = 0; j < refs_.size(); ++j)
        v(static_cast<Eigen::Index>(j)) = valueOf(refs_[j], state);
    return v;
}

std::vector<double> RefinementTarget::groupIntensities(const RefinementState& state) const {
    std::vector<double> key = intensityKey(state);
    {
        std::lock_guard<std::mutex> lock(cacheMutex_);
        if (const auto it = cache_.find(key); it != cache_.end()) return it->second;
    }
    std::vector<double> out;
    if (strained_) {
        const PhasonStrain delta = strainBeyondRun(state);
        out = reflections_->groupIntensities(state.model, state.a, state.c, &delta);
    } else {
        out = reflections_->groupIntensities(state.model, state.a, state.c);
    }
    for (double& v : out) v *= norm_;
    std::lock_guard<std::mutex> lock(cacheMutex_);
    if (cache_.size() >= kCacheSize) cache_.erase(cache_.begin());
    cache_.emplace(std::move(key), out);
    return out;
}

double RefinementTarget::twoThetaOf(const ReflectionGroup& g, const RefinementState& s) const {
    const double s2 = 1.0 / (dOf(g, s) * dOf(g, s));
    const double sine = wavelength_ * std::sqrt(s2) / 2.0;
    if (!(sine < 1.0)) return std::nan("");
    return 2.0 * std::asin(sine) / kDegree + s.zero;
}

double RefinementTarget::dOf(const ReflectionGroup& g, const RefinementState& s) const {
    const double aRatio = reflections_->runA() / s.a;
    const double cRatio = reflections_->dimension() == 5 ? reflections_->runC() / s.c : 1.0;
    if (strained_) {
        const double plane2 = strainedPlane2(g.par, g.perp, strainBeyondRun(s));
        return 1.0 / std::sqrt(plane2 * aRatio * aRatio + g.axis2 * cRatio * cRatio);
    }
    return 1.0 / std::sqrt(inverseD2(g, aRatio * aRatio, cRatio * cRatio));
}

PhasonStrain RefinementTarget::strainBeyondRun(const RefinementState& s) const {
    PhasonStrain delta = s.strain;
    const PhasonStrain& run = reflections_->runStrain();
    for (std::size_t k = 0; k < delta.values.size(); ++k) delta.values[k] -= run.values[k];
    delta.size = run.size;
    return delta;
}

bool RefinementTarget::predictPattern(const RefinementState& state, const std::vector<double>& x,
                                      Eigen::VectorXd& y, Eigen::MatrixXd* jacobian,
                                      Eigen::VectorXd* background) const {
    const auto points = static_cast<Eigen::Index>(x.size());
    y.setZero(points);
    const std::vector<double> intensity = groupIntensities(state);
    const std::vector<ReflectionGroup>& groups = reflections_->groups();
    const ProfileShape& shape = state.shape;
    const double eta = shape.eta, scale = state.scale;
    const double gaussNorm = 2.0 * std::sqrt(kLn2 / std::numbers::pi);
    // Analytic columns by quantity; -1 when not refined.
    int column[kRefinedQuantities];
    std::fill(std::begin(column), std::end(column), -1);
    if (jacobian) {
        jacobian->setZero(points, static_cast<Eigen::Index>(refs_.size()));
        for (std::size_t j = 0; j < refs_.size(); ++j)
            if (analytic_[j] && refs_[j].quantity != RefinedQuantity::Background)
                column[static_cast<int>(refs_[j].quantity)] = static_cast<int>(j);
    }
    const auto col = [&](RefinedQuantity q) { return column[static_cast<int>(q)]; };
    const int cScale = col(RefinedQuantity::Scale), cZero = col(RefinedQuantity::Zero);
    const int cU = col(RefinedQuantity::U), cV = col(RefinedQuantity::V);
    const int cW = col(RefinedQuantity::W), cEta = col(RefinedQuantity::Eta);
    const bool widths = cU >= 0 || cV >= 0 || cW >= 0;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (!(intensity[g] > 0.0)) continue;
        const double t = twoThetaOf(groups[g], state);
        if (!std::isfinite(t)) continue;
        const double trueTwoTheta = t - state.zero;
        const double tanTheta = std::tan(trueTwoTheta / 2.0 * kDegree);
        const double h2 = shape.u * tanTheta * tanTheta + shape.v * tanTheta + shape.w;
        if (!(h2 > 0.0)) return false;
        const double h = std::sqrt(h2);
        const double weight = intensity[g] * lorentzPolarisation(trueTwoTheta, lp_);
        const double reach = (eta > 0.0 ? kLorentzReach : kGaussReach) * h;
        const auto lo =
            static_cast<Eigen::Index>(std::lower_bound(x.begin(), x.end(), t - reach) - x.begin());
        const auto hi =
            static_cast<Eigen::Index>(std::upper_bound(x.begin(), x.end(), t + reach) - x.begin());
        const double lorentzTop = 2.0 / (std::numbers::pi * h), gaussTop = gaussNorm / h;
        const double inverse2 = 4.0 / h2, gaussReach2 = kGaussReach * kGaussReach * h2;
        const double sw = scale * weight;
        for (Eigen::Index i = lo; i < hi; ++i) {
            const double d = x[static_cast<std::size_t>(i)] - t;
            const double d2 = d * d;
            const double denominator = 1.0 + inverse2 * d2;
            const double lorentz = lorentzTop / denominator;
            const double gauss =
                d2 < gaussReach2 ? gaussTop * std::exp(-kLn2 * inverse2 * d2) : 0.0;
            const double pv = eta * lorentz + (1.0 - eta) * gauss;
            y(i) += sw * pv;
            if (!jacobian) continue;
            Eigen::MatrixXd& jm = *jacobian;
            if (cScale >= 0) jm(i, cScale) += weight * pv;
            if (cEta >= 0) jm(i, cEta) += sw * (lorentz - gauss);
            if (cZero >= 0) {
                // d PV / d(2-theta_i - centre), the centre moving with the zero shift.
                const double dl = lorentz * (-2.0 * inverse2 * d) / denominator;
                const double dg = gauss * (-2.0 * kLn2 * inverse2 * d);
                jm(i, cZero) -= sw * (eta * dl + (1.0 - eta) * dg);
            }
            if (widths) {
                const double dl = lorentz * (-1.0 / h + 2.0 * inverse2 * d2 / h / denominator);
                const double dg = gauss * (-1.0 / h + 2.0 * kLn2 * inverse2 * d2 / h);
                const double dh = sw * (eta * dl + (1.0 - eta) * dg) / (2.0 * h);  // per d(H^2)
                if (cU >= 0) jm(i, cU) += dh * tanTheta * tanTheta;
                if (cV >= 0) jm(i, cV) += dh * tanTheta;
                if (cW >= 0) jm(i, cW) += dh;
            }
        }
    }
    const int terms = static_cast<int>(state.background.size());
    if (background) background->setZero(points);
    std::vector<double> t(static_cast<std::size_t>(terms));
    for (Eigen::Index i = 0; i < points && terms > 0; ++i) {
        const double xi =
            2.0 * (x[static_cast<std::size_t>(i)] - data_.low) / (data_.high - data_.low) - 1.0;
        chebyshev(xi, terms, t.data());
        double b = 0.0;
        for (int k = 0; k < terms; ++k) b += state.background[std::size_t(k)] * t[std::size_t(k)];
        y(i) += b;
        if (background) (*background)(i) = b;
        if (jacobian)
            for (std::size_t j = 0; j < refs_.size(); ++j)
                if (refs_[j].quantity == RefinedQuantity::Background)
                    (*jacobian)(i, static_cast<Eigen::Index>(j)) = t[std::size_t(refs_[j].term)];
    }
    return true;
}

std::vector<std::vector<std::size_t>> RefinementTarget::peakMembers(
    const RefinementState& state) const {
    const std::vector<ReflectionGroup>& groups = reflections_->groups();
    std::vector<double> at(groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) at[g] = twoThetaOf(groups[g], state);
    std::vector<std::vector<std::size_t>> members(data_.x.size());
    for (std::size_t k = 0; k < data_.x.size(); ++k)
        for (std::size_t g = 0; g < groups.size(); ++g)
            if (std::abs(at[g] - data_.x[k]) <= tolerance_) members[k].push_back(g);
    return members;
}

bool RefinementTarget::predict(const RefinementState& state, const std::vector<double>& x,
                               Eigen::VectorXd& y, Eigen::VectorXd* background) const {
    if (data_.kind == ObservationKind::Pattern)
        return predictPattern(state, x, y, nullptr, background);
    const std::vector<double> intensity = groupIntensities(state);
    if (data_.kind == ObservationKind::Intensities) {
        y.resize(static_cast<Eigen::Index>(intensity.size()));
        for (std::size_t k = 0; k < intensity.size(); ++k)
            y(static_cast<Eigen::Index>(k)) = state.scale * intensity[k];
        return true;
    }
    const std::vector<ReflectionGroup>& groups = reflections_->groups();
    const std::vector<std::vector<std::size_t>> members = peakMembers(state);
    y.setZero(static_cast<Eigen::Index>(members.size()));
    for (std::size_t k = 0; k < members.size(); ++k)
        for (const std::size_t g : members[k])
            y(static_cast<Eigen::Index>(k)) +=
                state.scale * intensity[g] *
                lorentzPolarisation(twoThetaOf(groups[g], state) - state.zero, lp_);
    return true;
}

bool RefinementTarget::residuals(const Eigen::VectorXd& values, Eigen::VectorXd& r) const {
    Eigen::VectorXd y;
    if (!predict(stateOf(values), data_.x, y)) return false;
    r = data_.sqrtWeight.cwiseProduct(data_.observed - y);
    return r.allFinite();
}

void RefinementTarget::jacobian(const Eigen::VectorXd& values, const Eigen::VectorXd&,
                                Eigen::MatrixXd& j) const {
    const RefinementState state = stateOf(values);
    const auto rows = data_.observed.size();
    const auto n = static_cast<Eigen::Index>(refs_.size());
    Eigen::VectorXd y;
    if (data_.kind == ObservationKind::Pattern) {
        predictPattern(state, data_.x, y, &j, nullptr);
    } else {
        j.setZero(rows, n);
        RefinementState unit = state;
        unit.scale = 1.0;
        predict(unit, data_.x, y);
        for (Eigen::Index c = 0; c < n; ++c)
            if (analytic_[static_cast<std::size_t>(c)]) j.col(c) = y;
    }
    for (Eigen::Index c = 0; c < n; ++c) {
        const ParameterRef& ref = refs_[static_cast<std::size_t>(c)];
        if (analytic_[static_cast<std::size_t>(c)]) continue;
        const double v = values(c), step = differenceStep(ref, v);
        RefinementState plus = state, minus = state;
        setValue(ref, plus, v + step);
        setValue(ref, minus, v - step);
        Eigen::VectorXd yPlus, yMinus;
        if (predict(plus, data_.x, yPlus) && predict(minus, data_.x, yMinus))
            j.col(c) = (yPlus - yMinus) / (2.0 * step);
        else
            j.col(c).setZero();
    }
    for (Eigen::Index i = 0; i < rows; ++i) j.row(i) *= data_.sqrtWeight(i);
}

void RefinementTarget::clamp(Eigen::VectorXd& values) const {
    const RefinementState state = stateOf(values);
    for (std::size_t j = 0; j < refs_.size(); ++j) {
        const auto i = static_cast<Eigen::Index>(j);
        values(i) = bounded(refs_[j], state, values(i));
    }
}

}  // namespace tesral::physics
