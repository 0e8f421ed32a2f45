#include "physics/domain_transform.h"

#include <cmath>
#include <numbers>

namespace tesral::physics {

double sphereTransform(double x) {
    const double x2 = x * x;
    // The closed form loses digits to cancellation near 0; the series is exact there.
    if (std::abs(x) < 0.1) return 1.0 - x2 / 10.0 + x2 * x2 / 280.0 - x2 * x2 * x2 / 15120.0;
    return 3.0 * (std::sin(x) - x * std::cos(x)) / (x2 * x);
}

double discTransform(double x) {
    const double x2 = x * x;
    if (std::abs(x) < 1e-3) return 1.0 - x2 / 8.0 + x2 * x2 / 192.0;
    return 2.0 * std::cyl_bessel_j(1.0, std::abs(x)) / std::abs(x);
}

namespace {

double fullTransform(DomainShape shape, double radius, double perpendicularLength) {
    const double x = 2.0 * std::numbers::pi * perpendicularLength * radius;
    return shape == DomainShape::Sphere ? sphereTransform(x) : discTransform(x);
}

double fullMeasure(DomainShape shape, double r) {
    return shape == DomainShape::Sphere ? 4.0 / 3.0 * std::numbers::pi * r * r * r
                                        : std::numbers::pi * r * r;
}

}  // namespace

double roundDomainTransform(const OccupationDomain& domain, double perpendicularLength) {
    const double outer = fullTransform(domain.shape, domain.radius, perpendicularLength);
    if (domain.innerRadius <= 0.0) return outer;
    // A shell: the full domain less the inner one, weighted by their measures.
    const double vOuter = fullMeasure(domain.shape, domain.radius);
    const double vInner = fullMeasure(domain.shape, domain.innerRadius);
    const double inner = fullTransform(domain.shape, domain.innerRadius, perpendicularLength);
    return (vOuter * outer - vInner * inner) / (vOuter - vInner);
}

double roundDomainMeasure(const OccupationDomain& domain) {
    const double outer = fullMeasure(domain.shape, domain.radius);
    if (domain.innerRadius <= 0.0) return outer;
    return outer - fullMeasure(domain.shape, domain.innerRadius);
}

}  // namespace tesral::physics
