#include "physics/powder_profile.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tesral::physics {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
const double kLn2 = std::log(2.0);

}  // namespace

std::size_t TwoThetaGrid::size() const {
    if (!(step > 0.0) || !(stop >= start)) return 0;
    return static_cast<std::size_t>(std::floor((stop - start) / step + 0.5)) + 1;
}

std::string gridProblem(const TwoThetaGrid& grid) {
    if (!std::isfinite(grid.start) || !std::isfinite(grid.stop) || !std::isfinite(grid.step))
        return "the 2-theta grid needs finite numbers";
    if (!(grid.step > 0.0)) return "the 2-theta step must be positive";
    if (!(grid.start >= 0.0 && grid.stop <= 180.0))
        return "the 2-theta grid must lie between 0 and 180 degrees";
    if (!(grid.stop > grid.start)) return "the 2-theta grid must end above its start";
    // Ten million points resolve any pattern; more only cost memory and time.
    if ((grid.stop - grid.start) / grid.step + 1.0 > kLargestGridPoints)
        return "the 2-theta grid would hold more than 10 million points, the most a pattern "
               "takes; choose a larger step";
    return {};
}

std::string shapeProblem(const ProfileShape& shape, const TwoThetaGrid& grid) {
    if (!(shape.eta >= 0.0 && shape.eta <= 1.0)) return "eta must lie between 0 and 1";
    // H^2 is a quadratic in tan(theta); checking it densely over the grid's span is enough.
    const std::size_t steps = 1000;
    for (std::size_t i = 0; i <= steps; ++i) {
        const double t = grid.start + (grid.stop - grid.start) * static_cast<double>(i) / steps;
        if (t <= 0.0) continue;
        if (!(cagliotiWidth(shape, t) > 0.0))
            return "the Caglioti U, V, W give no positive width at 2-theta " +
                   std::to_string(t).substr(0, 6) + " degrees";
    }
    return {};
}

double cagliotiWidth(const ProfileShape& shape, double twoTheta) {
    const double t = std::tan(twoTheta / 2.0 * kDegree);
    const double h2 = shape.u * t * t + shape.v * t + shape.w;
    return h2 > 0.0 ? std::sqrt(h2) : std::nan("");
}

double pseudoVoigt(double x, double h, double eta) {
    const double r = x / h;
    const double lorentz = (2.0 / (std::numbers::pi * h)) / (1.0 + 4.0 * r * r);
    const double gauss =
        (2.0 / h) * std::sqrt(kLn2 / std::numbers::pi) * std::exp(-4.0 * kLn2 * r * r);
    return eta * lorentz + (1.0 - eta) * gauss;
}

std::vector<double> powderProfile(const std::vector<PowderLine>& lines, const TwoThetaGrid& grid,
                                  const ProfileShape& shape) {
    const std::size_t count = grid.size();
    std::vector<double> y(count, 0.0);
    if (count == 0) return y;
    const double eta = shape.eta;
    const double gaussNorm = 2.0 * std::sqrt(kLn2 / std::numbers::pi);
    const long long last = static_cast<long long>(count) - 1;
    for (const PowderLine& line : lines) {
        const double h = cagliotiWidth(shape, line.twoTheta);
        if (!(h > 0.0) || !(line.weight > 0.0)) continue;
        const double reach = (eta > 0.0 ? kLorentzReach : kGaussReach) * h;
        const long long lo = std::max<long long>(
            0, static_cast<long long>(std::ceil((line.twoTheta - reach - grid.start) / grid.step)));
        const long long hi = std::min<long long>(
            last,
            static_cast<long long>(std::floor((line.twoTheta + reach - grid.start) / grid.step)));
        const double lorentz = eta * line.weight * 2.0 / (std::numbers::pi * h);
        const double gauss = (1.0 - eta) * line.weight * gaussNorm / h;
        const double inverse2 = 4.0 / (h * h);
        const double gaussReach2 = kGaussReach * kGaussReach * h * h;
        for (long long i = lo; i <= hi; ++i) {
            const double x = grid.at(static_cast<std::size_t>(i)) - line.twoTheta;
            const double x2 = x * x;
            double value = lorentz / (1.0 + inverse2 * x2);
            if (x2 < gaussReach2) value += gauss * std::exp(-kLn2 * inverse2 * x2);
            y[static_cast<std::size_t>(i)] += value;
        }
    }
    const double top = *std::max_element(y.begin(), y.end());
    if (top > 0.0)
        for (double& v : y) v *= 100.0 / top;
    return y;
}

}  // namespace tesral::physics
