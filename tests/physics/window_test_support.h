#pragma once

#include <cmath>
#include <complex>
#include <vector>

#include "lattice/lattice_basis.h"

namespace tesral::physics::test {

constexpr double kTwoPi = 6.283185307179586;
inline const double kTau = (1.0 + std::sqrt(5.0)) / 2.0;

/** |det| of the leading n x n block, by Gaussian elimination with partial pivoting. */
inline double absDeterminant(const Matrix& source, int n) {
    std::vector<double> m(static_cast<size_t>(n) * n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) m[i * n + j] = source(i, j);
    double det = 1.0;
    for (int c = 0; c < n; ++c) {
        int pivot = c;
        for (int r = c + 1; r < n; ++r)
            if (std::abs(m[r * n + c]) > std::abs(m[pivot * n + c])) pivot = r;
        if (pivot != c)
            for (int j = 0; j < n; ++j) std::swap(m[c * n + j], m[pivot * n + j]);
        det *= m[c * n + c];
        for (int r = c + 1; r < n; ++r) {
            const double f = m[r * n + c] / m[c * n + c];
            for (int j = c; j < n; ++j) m[r * n + j] -= f * m[c * n + j];
        }
    }
    return std::abs(det);
}

/** The projected vector inverse * h of integer indices h. */
inline std::vector<double> project(const LatticeBasis& basis, const std::vector<int>& h) {
    std::vector<double> q(basis.n, 0.0);
    for (int i = 0; i < basis.n; ++i)
        for (int j = 0; j < basis.n; ++j) q[i] += basis.inverse(i, j) * h[j];
    return q;
}

/** H-perp of h: components 2, 3 (axial) or 3, 4, 5 (icosahedral). */
inline std::vector<double> perpendicularOf(const LatticeBasis& basis, const std::vector<int>& h) {
    const std::vector<double> q = project(basis, h);
    if (basis.n == 5) return {q[2], q[3]};
    return {q[3], q[4], q[5]};
}

/** integral_lo^hi exp(2 pi i k y) dy, stable for k -> 0. */
inline std::complex<double> chordIntegral(double k, double lo, double hi) {
    const double length = hi - lo;
    if (length <= 0.0) return 0.0;
    const double x = M_PI * k * length;
    const double sinc = std::abs(x) < 1e-8 ? 1.0 - x * x / 6.0 : std::sin(x) / x;
    return std::polar(length * sinc, M_PI * k * (lo + hi));
}

}  // namespace tesral::physics::test
