#include "direction.h"

#include <cmath>

namespace tesral {
namespace {
constexpr double kDegree = 3.141592654 / 180.0;
constexpr float kTolerance = 0.3f;  // degrees
}  // namespace

double angleFromCosine(double c) {
    const double s2 = 1.0 - c * c;
    if (s2 <= 0.0) return 0.0;
    return std::atan(c / std::sqrt(s2)) + 2.0 * std::atan(1.0);
}

double fractionalPart(double t) {
    const double u = std::fabs(t);
    const double k = std::nearbyint(u - 0.5);
    return u - k;
}

DirectionClass classifyDirection(const ReflectionRecord& row, const LatticeBasis& basis) {
    if (basis.n == 6) return DirectionClass::Other;
    double q[2] = {0.0, 0.0};
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 5; ++j) q[i] = q[i] + basis.inverse(i, j) * row.h(j);
    }
    const double r = std::sqrt(q[0] * q[0] + q[1] * q[1]);
    if (r == 0.0) return DirectionClass::AlongMain;
    double c = basis.referenceDirection[0] * q[0] / r + basis.referenceDirection[1] * q[1] / r;
    if (c > 1.0) c = 1.0;
    const double phi = angleFromCosine(c) / kDegree;

    const float a = basis.symmetryAngle;
    const float rA = static_cast<float>(a * fractionalPart(phi / a));
    if (rA < kTolerance || rA > a - kTolerance) return DirectionClass::AlongMain;
    const float b = basis.halfSymmetryAngle;
    const float rB = static_cast<float>(b * fractionalPart(phi / b));
    if (rB < kTolerance || rB > b - kTolerance) return DirectionClass::BetweenMain;
    return DirectionClass::Other;
}

}  // namespace tesral
