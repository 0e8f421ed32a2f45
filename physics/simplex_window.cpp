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

std::complex<double> powerOfI(int n) {
    switch (n & 3) {
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

/**
 * Divided difference of exp(iz) at x[lo..hi] (sorted), e[j] = exp(i x[j]). Points closer than
 * kSeriesSpread use the series exp(ic) * sum_p i^(m+p)/(m+p)! h_p(x - c), h_p the complete
 * symmetric polynomials; wider ones the recursion, whose divisor is then at least that spread.
 */
std::complex<double> dividedDifference(const double* x, const std::complex<double>* e, int lo,
                                       int hi) {
    if (lo == hi) return e[lo];
    const double spread = x[hi] - x[lo];
    if (spread >= kSeriesSpread)
        return (dividedDifference(x, e, lo + 1, hi) - dividedDifference(x, e, lo, hi - 1)) / spread;
    const int m = hi - lo;
    const double c = 0.5 * (x[lo] + x[hi]);
    std::array<double, kSeriesTerms + 1> h{};
    h[0] = 1.0;
    for (int j = lo; j <= hi; ++j) {
        const double y = x[j] - c;
        for (int p = 1; p <= kSeriesTerms; ++p) h[p] += y * h[p - 1];
    }
    std::complex<double> sum = 0.0;
    double factorial = 1.0;
    for (int q = 2; q <= m; ++q) factorial *= q;
    for (int p = 0; p <= kSeriesTerms; ++p) {
        if (p > 0) factorial *= m + p;
        sum += powerOfI(m + p) * (h[p] / factorial);
    }
    return std::polar(1.0, c) * sum;
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
    const double nFactorial = n == 3 ? 6.0 : n == 2 ? 2.0 : 1.0;
    return nFactorial * dividedDifference(x.data(), e.data(), 0, n) / powerOfI(n);
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
                             std::vector<Simplex> simplices, double measure, bool centrosymmetric)
    : dimension_(dimension),
      vertices_(std::move(vertices)),
      simplices_(std::move(simplices)),
      measure_(measure),
      centrosymmetric_(centrosymmetric) {
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
    // Opposite simplices contribute complex conjugates: twice the real part, held in the weights.
    return centrosymmetric_ ? std::complex<double>(sum.real(), 0.0) : sum;
}

}  // namespace tesral::physics
