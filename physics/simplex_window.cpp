#include "physics/simplex_window.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace tesral::physics {
namespace {

constexpr double kTwoPi = 6.283185307179586;
// Below this spread of phases a Taylor series replaces the difference quotient.
constexpr double kSeriesSpread = 1.0;
constexpr int kSeriesTerms = 20;

/** The number of series terms that brings the remainder below 1e-16 for points `spread` apart. */
int seriesTerms(double spread) {
    return spread < 0.01 ? 6 : spread < 0.05 ? 8 : spread < 0.25 ? 12 : 20;
}

/**
 * Divided difference of exp(iz) at x[lo..hi] (sorted, less than kSeriesSpread apart) as the
 * series exp(i x_lo) * sum_p i^(m+p)/(m+p)! h_p(x - x_lo), h_p the complete symmetric
 * polynomials of the m + 1 shifted points, of which the first is zero.
 */
std::complex<double> seriesDifference(const double* x, const std::complex<double>* e, int lo,
                                      int hi) {
    const int m = hi - lo;
    const int terms = seriesTerms(x[hi] - x[lo]);
    std::array<double, kSeriesTerms + 1> h{};
    h[0] = 1.0;
    for (int j = lo + 1; j <= hi; ++j) {
        const double y = x[j] - x[lo];
        for (int p = 1; p <= terms; ++p) h[p] += y * h[p - 1];
    }
    // sum_p i^(m+p) h_p / (m+p)!, gathered as real and imaginary parts.
    double factorial = 1.0;
    for (int q = 2; q <= m; ++q) factorial *= q;
    double re = 0.0, im = 0.0;
    for (int p = 0; p <= terms; ++p) {
        if (p > 0) factorial *= m + p;
        const double term = h[p] / factorial;
        switch ((m + p) & 3) {
            case 0:
                re += term;
                break;
            case 1:
                im += term;
                break;
            case 2:
                re -= term;
                break;
            default:
                im -= term;
                break;
        }
    }
    return e[lo] * std::complex<double>(re, im);
}

/**
 * Divided difference of exp(iz) at the sorted x[0..n], e[j] = exp(i x[j]), by Newton's table.
 * A quotient only divides by a spread of at least kSeriesSpread, so it loses no digits; closer
 * points take the series.
 */
std::complex<double> dividedDifference(const double* x, const std::complex<double>* e, int n) {
    std::array<std::complex<double>, 4> table;
    for (int i = 0; i <= n; ++i) table[i] = e[i];
    for (int level = 1; level <= n; ++level)
        for (int i = 0; i + level <= n; ++i) {
            const double spread = x[i + level] - x[i];
            table[i] = spread >= kSeriesSpread ? (table[i + 1] - table[i]) / spread
                                               : seriesDifference(x, e, i, i + level);
        }
    return table[0];
}

std::complex<double> sortedSimplexMean(std::array<double, 4> x,
                                       std::array<std::complex<double>, 4> e, int count) {
    // Insertion sort of at most four phases, carrying their exponentials along.
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && x[j] < x[j - 1]; --j) {
            std::swap(x[j], x[j - 1]);
            std::swap(e[j], e[j - 1]);
        }
    const int n = count - 1;
    const std::complex<double> d = dividedDifference(x.data(), e.data(), n);
    // n! / i^n: 1, -i, -2, 6i.
    switch (n) {
        case 0:
            return d;
        case 1:
            return {d.imag(), -d.real()};
        case 2:
            return -2.0 * d;
        default:
            return {-6.0 * d.imag(), 6.0 * d.real()};
    }
}

}  // namespace

std::complex<double> simplexMean(const double* x, int count) {
    if (count < 1 || count > 4) throw std::invalid_argument("simplexMean takes 1 to 4 phases");
    std::array<double, 4> xs{};
    std::array<std::complex<double>, 4> es{};
    for (int i = 0; i < count; ++i) {
        xs[i] = x[i];
        es[i] = std::polar(1.0, x[i]);
    }
    return sortedSimplexMean(xs, es, count);
}

SimplexWindow::SimplexWindow(int dimension, std::vector<double> vertices,
                             std::vector<Simplex> simplices, double measure)
    : dimension_(dimension),
      vertices_(std::move(vertices)),
      simplices_(std::move(simplices)),
      measure_(measure) {
    if (vertices_.size() > static_cast<size_t>(kMaxVertices * dimension_))
        throw std::invalid_argument("too many window vertices");
}

std::complex<double> SimplexWindow::transform(const double* k) const {
    const int count = static_cast<int>(vertices_.size()) / dimension_;
    std::array<double, kMaxVertices> phase;
    std::array<std::complex<double>, kMaxVertices> wave;
    for (int v = 0; v < count; ++v) {
        double dot = 0.0;
        for (int d = 0; d < dimension_; ++d) dot += k[d] * vertices_[v * dimension_ + d];
        phase[v] = kTwoPi * dot;
        wave[v] = std::polar(1.0, phase[v]);
    }
    const int corners = dimension_ + 1;
    std::complex<double> sum = 0.0;
    for (const Simplex& s : simplices_) {
        std::array<double, 4> x{0.0, 0.0, 0.0, 0.0};
        std::array<std::complex<double>, 4> e{1.0, 1.0, 1.0, 1.0};
        for (int c = 1; c < corners; ++c) {
            x[c] = phase[s.vertex[c - 1]];
            e[c] = wave[s.vertex[c - 1]];
        }
        sum += s.weight * sortedSimplexMean(x, e, corners);
    }
    return sum;
}

}  // namespace tesral::physics

namespace tesral::physics {

std::optional<WindowPlanes> SimplexWindow::planes() const {
    const int d = dimension_;
    const auto vertex = [this, d](int i) {
        std::array<double, 3> v{0.0, 0.0, 0.0};
        for (int c = 0; c < d; ++c) v[c] = vertices_[static_cast<std::size_t>(i * d + c)];
        return v;
    };
    WindowPlanes out;
    for (const Simplex& s : simplices_) {
        const std::array<double, 3> a = vertex(s.vertex[0]), b = vertex(s.vertex[1]);
        std::array<double, 3> n;
        if (d == 2) {
            n = {b[1] - a[1], a[0] - b[0], 0.0};
        } else {
            const std::array<double, 3> c = vertex(s.vertex[2]);
            const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const double w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            n = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
        }
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        double offset = (n[0] * a[0] + n[1] * a[1] + n[2] * a[2]) / length;
        // Outwards: the origin lies inside.
        const double sign = offset < 0.0 ? -1.0 : 1.0;
        for (double& v : n) v *= sign / length;
        out.normals.push_back(n);
        out.offsets.push_back(sign * offset);
    }
    for (int i = 0; i < static_cast<int>(vertices_.size()) / d; ++i) {
        const std::array<double, 3> v = vertex(i);
        out.circumradius =
            std::max(out.circumradius, std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
    }
    return out;
}

}  // namespace tesral::physics
