#include "physics/structure_factor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>

#include "physics/domain_transform.h"
#include "physics/sampled_function.h"
#include "physics/scattering_factor.h"

namespace tesral::physics {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Sampling steps, with cubic interpolation: the error stays near 1e-7 of g(0) and of f(0),
// for Debye-Waller parameters up to 1000 square angstrom.
constexpr double kStepS = 2e-3;              // 1/angstrom
constexpr double kStepX = 0.1;               // of x = 2 pi |H-perp| R
constexpr double kStepPerpendicular = 2e-3;  // 1/angstrom

/** The largest values the rows of a run reach; they size what is sampled once per run. */
struct RowExtent {
    double maxS = 0.0;              // s = |H-par| / 2, 1/angstrom
    double maxPerpendicular = 0.0;  // |H-perp|, 1/angstrom
    std::array<int, 6> maxIndex{};  // the largest |h_i|
};

/** |H-perp| per unit of qi: qi is a |H-perp| except in the axial Steurer basis. */
double perpendicularPerQi(const RunParameters& p) {
    const bool scaled =
        p.system == QuasicrystalSystem::Icosahedral || p.convention == MatrixConvention::Yamamoto;
    return scaled ? 1.0 / p.a : 1.0;
}

/**
 * From the run's extremes: qi max exactly, the parallel extremes as a bound (they may hold
 * earlier runs of the session too). A row past the sampled range is evaluated directly.
 */
RowExtent extentOf(const RunResult& run) {
    const TableStatistics& t = run.statistics;
    const auto larger = [](float low, float high) {
        return std::max(std::abs(static_cast<double>(low)), std::abs(static_cast<double>(high)));
    };
    const double x = larger(t.minX, t.maxX), y = larger(t.minY, t.maxY), z = larger(t.minZ, t.maxZ);
    RowExtent extent;
    extent.maxS = std::sqrt(x * x + y * y + z * z) / 2.0;
    extent.maxPerpendicular = std::abs(t.maxQi * perpendicularPerQi(run.parameters));
    for (std::size_t i = 0; i < extent.maxIndex.size(); ++i)
        extent.maxIndex[i] = std::max(0, run.parameters.loopLimit[i]);
    return extent;
}

/** exp(2 pi i t); quarter turns are exact, so that sites on halves cancel to exactly 0. */
std::complex<double> turn(double t) {
    t -= std::floor(t);
    const double quarters = 4.0 * t;
    if (quarters == std::floor(quarters)) {
        switch (static_cast<int>(quarters)) {
            case 0:
                return {1.0, 0.0};
            case 1:
                return {0.0, 1.0};
            case 2:
                return {-1.0, 0.0};
            default:
                return {0.0, -1.0};
        }
    }
    return {std::cos(kTwoPi * t), std::sin(kTwoPi * t)};
}

/** exp(2 pi i h r) for one index with r != 0, tabulated for |h| <= limit (at most kMaxLimit). */
struct PhaseAxis {
    int index = 0;
    double r = 0.0;
    int limit = 0;
    std::vector<std::complex<double>> values;  // h = -limit .. limit

    static constexpr int kMaxLimit = 4096;

    PhaseAxis(int i, double position, int maxIndex)
        : index(i), r(position), limit(std::clamp(maxIndex, 0, kMaxLimit)) {
        values.reserve(static_cast<std::size_t>(2 * limit + 1));
        for (int h = -limit; h <= limit; ++h) values.push_back(turn(h * r));
    }
    std::complex<double> at(int h) const {
        if (h < -limit || h > limit) return turn(h * r);
        return values[static_cast<std::size_t>(h + limit)];
    }
};

}  // namespace

struct StructureFactor::SiteTerm {
    SampledFunction parallel;              // p V f(s) exp(-B-par s^2)
    SampledFunction perpendicular;         // g(|H-perp|) exp(-B-perp s-perp^2), round domains
    std::unique_ptr<WindowFactor> window;  // or the window's factor of H-perp
    std::vector<PhaseAxis> phases;
};

StructureFactor::StructureFactor(const StructureModel& model, const RunResult& run,
                                 const WindowMaker& makeWindow)
    : perpendicularPerQi_(perpendicularPerQi(run.parameters)) {
    const QuasicrystalSystem system = run.parameters.system;
    const RowExtent extent = extentOf(run);
    const double upToS = extent.maxS * 1.001 + kStepS;
    const double upToPerpendicular = extent.maxPerpendicular * 1.001 + kStepPerpendicular;
    for (const Site& site : model.sites) {
        SiteTerm term;
        const OccupationDomain& domain = site.domain;
        double measure = 0.0;
        if (domain.shape == DomainShape::Window) {
            term.window = std::make_unique<WindowFactor>(makeWindow(system, run.basis, domain),
                                                         site.bPerpendicular, run);
            measure = term.window->measure();
        } else {
            measure = roundDomainMeasure(domain);
            const double bPerp = site.bPerpendicular;
            const auto g = [domain, bPerp](double perp) {
                return roundDomainTransform(domain, perp) * std::exp(-bPerp * perp * perp / 4.0);
            };
            const double step = std::min(kStepX / (kTwoPi * domain.radius), kStepPerpendicular);
            term.perpendicular = SampledFunction(g, step, upToPerpendicular);
        }
        const double weight = site.occupancy * measure;
        const ScatteringFactor f(site.element, model.radiation.kind);
        const double bPar = site.bParallel;
        term.parallel = SampledFunction(
            [weight, f, bPar](double s) { return weight * f(s) * std::exp(-bPar * s * s); }, kStepS,
            upToS);
        for (std::size_t i = 0; i < site.position.size(); ++i)
            if (site.position[i] != 0.0)
                term.phases.emplace_back(static_cast<int>(i), site.position[i], extent.maxIndex[i]);
        real_ = real_ && !term.window && term.phases.empty();
        sites_.push_back(std::move(term));
    }
}

StructureFactor::~StructureFactor() = default;
StructureFactor::StructureFactor(StructureFactor&&) noexcept = default;

std::complex<double> StructureFactor::operator()(const ReflectionRecord& row) const {
    const double s = row.v[kQe] * 0.5, perp = row.v[kQi] * perpendicularPerQi_;
    std::complex<double> total = 0.0;
    for (const SiteTerm& site : sites_) {
        std::complex<double> term = site.parallel(s);
        if (site.window)
            term *= (*site.window)(row);
        else
            term *= site.perpendicular(perp);
        for (const PhaseAxis& axis : site.phases)
            term *= axis.at(static_cast<int>(row.v[kH1 + axis.index]));
        total += term;
    }
    return total;
}

float StructureFactor::writeIntensities(ReflectionRecord* begin, ReflectionRecord* end) const {
    float largest = 0.0f;
    if (real_) {
        // Round domains without phases: F is real, a sum of products of two samples.
        for (ReflectionRecord* row = begin; row != end; ++row) {
            const double s = row->v[kQe] * 0.5, perp = row->v[kQi] * perpendicularPerQi_;
            double f = 0.0;
            for (const SiteTerm& site : sites_) f += site.parallel(s) * site.perpendicular(perp);
            const auto intensity = static_cast<float>(f * f);
            row->v[kIntensity] = intensity;
            largest = std::max(largest, intensity);
        }
        return largest;
    }
    for (ReflectionRecord* row = begin; row != end; ++row) {
        const auto intensity = static_cast<float>(std::norm((*this)(*row)));
        row->v[kIntensity] = intensity;
        largest = std::max(largest, intensity);
    }
    return largest;
}

}  // namespace tesral::physics
