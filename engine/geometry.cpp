#include "geometry.h"

#include <cmath>

namespace tesral {

double arcSine(double s) {
    constexpr double kHalfPiSingle = 1.5707963705062866;
    constexpr double kThreeHalfPiSingle = 4.71238911151886;
    if (s > 1.0 || s == 1.0) return kHalfPiSingle;
    if (s < -1.0 || s == -1.0) return kThreeHalfPiSingle;
    return std::atan(s / std::sqrt(1.0 - s * s));
}

GeometryContext::GeometryContext(const LatticeBasis& basis, const RunParameters& p)
    : n(basis.n),
      a(p.a),
      yamamoto(p.convention == MatrixConvention::Yamamoto),
      wavelength(p.wavelength),
      thetaMin(p.thetaMin),
      thetaMax(p.thetaMax),
      qiMax(p.qiMax) {
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) inverse[i][j] = basis.inverse(i, j);
}

Evaluation evaluateProjection(const double q[6], const GeometryContext& g) {
    Evaluation e;
    const double a = g.a;
    if (g.n == 5) {
        e.qe = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[4] * q[4]);
        e.qi = g.yamamoto ? std::sqrt(q[3] * q[3] * a * a + q[2] * q[2] * a * a)
                          : std::sqrt(q[2] * q[2] + q[3] * q[3]);
        e.x = q[0];
        e.y = q[1];
        e.z = q[4];
    } else {
        e.qe = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2]);
        e.qi = std::sqrt(q[3] * q[3] * a * a + q[4] * q[4] * a * a + q[5] * q[5] * a * a);
        e.x = q[0];
        e.y = q[1];
        e.z = q[2];
    }
    if (!std::isfinite(e.qe) || !std::isfinite(e.qi)) {
        e.finite = false;
        return e;
    }
    if (e.qe == 0.0) return e;
    e.d = 1.0 / e.qe;
    const double s = g.wavelength / (2.0 * e.d);
    e.theta = arcSine(s) / kDegreeDivisor;
    e.accepted = e.theta > 0.0 && e.theta >= g.thetaMin && e.theta <= g.thetaMax && e.qi <= g.qiMax;
    return e;
}

Evaluation evaluateIndexVector(const int h[6], const GeometryContext& g) {
    double q[6] = {};
    for (int i = 0; i < g.n; ++i) {
        double sum = 0.0;
        for (int j = 0; j < g.n; ++j) sum = sum + h[j] * g.inverse[i][j];
        q[i] = sum;
    }
    return evaluateProjection(q, g);
}

}  // namespace tesral
