#include "physics/domain_region.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "physics/exact_window.h"

namespace tesral::physics {
namespace {

/**
 * The direction of the vanishing step that decides boundary points: irrational-looking, so
 * that no face of a window and no point of a sphere met in practice lies along it.
 */
constexpr double kStep[3] = {0.5801228390, 0.6463819427, 0.4956736915};

/** Relative width (of the domain's size) of the band treated as the boundary. */
constexpr double kBoundaryBand = 1e-10;

double dot(const double* x, const std::array<double, 3>& n, int dimension) {
    double s = 0.0;
    for (int c = 0; c < dimension; ++c) s += x[c] * n[c];
    return s;
}

}  // namespace

DomainRegion::DomainRegion(QuasicrystalSystem system, const LatticeBasis& basis,
                           const OccupationDomain& domain)
    : dimension_(system == QuasicrystalSystem::Icosahedral ? 3 : 2),
      outer_(convexOf(system, basis, domain, false)) {
    shell_ =
        domain.shape == DomainShape::Window ? domain.innerScale > 0.0 : domain.innerRadius > 0.0;
    if (shell_) inner_ = convexOf(system, basis, domain, true);
}

DomainRegion::Convex DomainRegion::convexOf(QuasicrystalSystem system, const LatticeBasis& basis,
                                            const OccupationDomain& domain, bool inner) {
    Convex c;
    if (domain.shape != DomainShape::Window) {
        c.radius = inner ? domain.innerRadius : domain.radius;
        c.circumradius = c.inradius = c.radius;
        c.tolerance = kBoundaryBand * c.radius * c.radius;
        return c;
    }
    OccupationDomain full = domain;
    full.innerScale = 0.0;
    if (inner) full.scale = domain.innerScale;
    const std::optional<WindowPlanes> planes = exactWindow(system, basis, full)->planes();
    if (!planes) throw std::invalid_argument("a window without its bounding planes");
    c.ball = false;
    c.normals = planes->normals;
    c.offsets = planes->offsets;
    c.circumradius = planes->circumradius;
    c.inradius = *std::min_element(c.offsets.begin(), c.offsets.end());
    c.tolerance = kBoundaryBand * c.circumradius;
    return c;
}

bool DomainRegion::Convex::contains(const double* x, int dimension) const {
    double r2 = 0.0;
    for (int i = 0; i < dimension; ++i) r2 += x[i] * x[i];
    if (ball) {
        const double excess = r2 - radius * radius;
        if (excess < -tolerance) return true;
        if (excess > tolerance) return false;
        // On the sphere: inside when the step leads inwards, against the outward normal x.
        double along = 0.0;
        for (int i = 0; i < dimension; ++i) along += x[i] * kStep[i];
        return along < 0.0;
    }
    const double sure = inradius - tolerance;
    if (r2 < sure * sure) return true;
    const double far = circumradius + tolerance;
    if (r2 > far * far) return false;
    for (std::size_t f = 0; f < normals.size(); ++f) {
        const double excess = dot(x, normals[f], dimension) - offsets[f];
        if (excess > tolerance) return false;
        if (excess >= -tolerance && dot(kStep, normals[f], dimension) >= 0.0) return false;
    }
    return true;
}

bool DomainRegion::contains(const double* x) const {
    if (!outer_.contains(x, dimension_)) return false;
    return !shell_ || !inner_.contains(x, dimension_);
}

}  // namespace tesral::physics
