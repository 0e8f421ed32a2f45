#include "physics/zonotope_window.h"

#include <Eigen/LU>
#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>

namespace tesral::physics {
namespace {

constexpr double kPi = 3.141592653589793;

/** The d x d matrix whose columns are the generators `index` of g. */
Eigen::Matrix3d columns(const std::vector<double>& g, int d, const int* index) {
    Eigen::Matrix3d m = Eigen::Matrix3d::Identity();
    for (int column = 0; column < d; ++column)
        for (int row = 0; row < d; ++row) m(row, column) = g[index[column] * d + row];
    return m;
}

/** sin(u)/u, its series near 0. */
double sinc(double u, double sine) {
    return std::abs(u) < 1e-3 ? 1.0 - u * u / 6.0 * (1.0 - u * u / 20.0) : sine / u;
}

}  // namespace

ZonotopeWindow::ZonotopeWindow(int dimension, std::vector<double> generators)
    : dimension_(dimension),
      count_(static_cast<int>(generators.size()) / dimension),
      generators_(std::move(generators)) {
    const int d = dimension_;
    if ((d != 2 && d != 3) || count_ < d || count_ > kMaxGenerators)
        throw std::invalid_argument(
            "a zonotope window needs 2 or 3 dimensions and d to 8 generators");
    // The tiling is the lower side of the zonotope of the generators lifted to heights w_s, seen
    // from below: the tile of a basis B sits where the lifted facet through B lies, shifted by
    // the generators that point down from that facet.
    std::vector<double> height(count_);
    for (int s = 0; s < count_; ++s) height[s] = std::sqrt(2.0 + s) * (1.0 + 0.1 * s);
    double scale = 0.0;
    for (double v : generators_) scale = std::max(scale, std::abs(v));
    for (unsigned span = 0; span < (1u << count_); ++span) {
        if (std::popcount(span) != d) continue;
        int index[3];
        for (int s = 0, n = 0; s < count_; ++s)
            if (span & (1u << s)) index[n++] = s;
        // The 2 x 2 case sits in the leading block of an identity, which keeps its determinant.
        const Eigen::Matrix3d basis = columns(generators_, d, index);
        const double det = basis.determinant();
        if (std::abs(det) <= 1e-12 * std::pow(scale, d))
            throw std::invalid_argument("zonotope window generators are linearly dependent");
        // The lifted facet's normal (n, 1): n . g_s = -w_s for s in B, that is B^T n = -w.
        Eigen::Vector3d lifted = Eigen::Vector3d::Zero();
        for (int i = 0; i < d; ++i) lifted(i) = -height[index[i]];
        const Eigen::Vector3d normal = basis.transpose().partialPivLu().solve(lifted);
        Tile tile;
        tile.span = span;
        for (int s = 0; s < count_; ++s) {
            if (span & (1u << s)) continue;
            double side = height[s];
            for (int c = 0; c < d; ++c) side += normal[c] * generators_[s * d + c];
            if (side < 0.0) tile.positive |= 1u << s;
        }
        tile.weight = std::abs(det);
        measure_ += tile.weight;
        tiles_.push_back(tile);
    }
    for (Tile& t : tiles_) t.weight /= measure_;
}

std::complex<double> ZonotopeWindow::transform(const double* k) const {
    const int d = dimension_;
    std::array<double, kMaxGenerators> sine, cosine, sincs;
    for (int s = 0; s < count_; ++s) {
        double u = 0.0;
        for (int c = 0; c < d; ++c) u += k[c] * generators_[s * d + c];
        u *= kPi;
        sine[s] = std::sin(u);
        cosine[s] = std::cos(u);
        sincs[s] = sinc(u, sine[s]);
    }
    // A tile centred at sum over the others of +-g/2: phase exp(+-i u_s) each; the window is
    // centrosymmetric, so only the real part remains.
    double sum = 0.0;
    for (const Tile& t : tiles_) {
        double amplitude = t.weight, re = 1.0, im = 0.0;
        for (int s = 0; s < count_; ++s) {
            const unsigned bit = 1u << s;
            if (t.span & bit) {
                amplitude *= sincs[s];
                continue;
            }
            const double si = t.positive & bit ? sine[s] : -sine[s];
            const double r = re * cosine[s] - im * si;
            im = re * si + im * cosine[s];
            re = r;
        }
        sum += amplitude * re;
    }
    return {sum, 0.0};
}

}  // namespace tesral::physics

namespace tesral::physics {

std::optional<WindowPlanes> ZonotopeWindow::planes() const {
    const int d = dimension_;
    const auto generator = [this, d](int s) {
        std::array<double, 3> g{0.0, 0.0, 0.0};
        for (int c = 0; c < d; ++c) g[c] = generators_[s * d + c];
        return g;
    };
    WindowPlanes out;
    const auto addPair = [&](std::array<double, 3> n) {
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (double& v : n) v /= length;
        // The support of the zonotope along n: half the sum of |n . g| over the generators.
        double offset = 0.0;
        for (int s = 0; s < count_; ++s) {
            const std::array<double, 3> g = generator(s);
            offset += 0.5 * std::abs(n[0] * g[0] + n[1] * g[1] + n[2] * g[2]);
        }
        out.normals.push_back(n);
        out.offsets.push_back(offset);
        out.normals.push_back({-n[0], -n[1], -n[2]});
        out.offsets.push_back(offset);
    };
    for (int s = 0; s < count_; ++s) {
        const std::array<double, 3> g = generator(s);
        if (d == 2) {
            addPair({-g[1], g[0], 0.0});
            continue;
        }
        for (int t = s + 1; t < count_; ++t) {
            const std::array<double, 3> h = generator(t);
            addPair(
                {g[1] * h[2] - g[2] * h[1], g[2] * h[0] - g[0] * h[2], g[0] * h[1] - g[1] * h[0]});
        }
    }
    // The farthest corner is one of the 2^count sums of +-g/2.
    for (unsigned signs = 0; signs < (1u << count_); ++signs) {
        double corner[3] = {0.0, 0.0, 0.0};
        for (int s = 0; s < count_; ++s)
            for (int c = 0; c < d; ++c)
                corner[c] += (signs & (1u << s) ? 0.5 : -0.5) * generators_[s * d + c];
        out.circumradius = std::max(
            out.circumradius,
            std::sqrt(corner[0] * corner[0] + corner[1] * corner[1] + corner[2] * corner[2]));
    }
    return out;
}

}  // namespace tesral::physics
