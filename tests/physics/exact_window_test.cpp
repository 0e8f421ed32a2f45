#include "physics/exact_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "physics/simplex_window.h"
#include "physics/zonotope_window.h"
#include "window_test_support.h"

using namespace tesral;
using namespace tesral::physics;
using namespace tesral::physics::test;

namespace {

constexpr auto Y = MatrixConvention::Yamamoto;
constexpr auto S = MatrixConvention::Steurer;
constexpr auto Oct = QuasicrystalSystem::Octagonal;
constexpr auto Dec = QuasicrystalSystem::Decagonal;
constexpr auto Dod = QuasicrystalSystem::Dodecagonal;
constexpr auto Ico = QuasicrystalSystem::Icosahedral;

struct WindowCase {
    QuasicrystalSystem system;
    MatrixConvention convention;
    int pentagon;
    double scale;
};

const WindowCase kWindows[] = {{Oct, Y, 0, 1.0}, {Oct, S, 0, 0.7}, {Dec, Y, 0, 1.0},
                               {Dec, Y, 1, 1.0}, {Dec, Y, 2, 1.0}, {Dec, Y, 3, 1.0},
                               {Dec, S, 4, 1.3}, {Dod, Y, 0, 1.0}, {Dod, S, 0, 1.0},
                               {Ico, Y, 0, 1.0}, {Ico, S, 0, 0.8}};

LatticeBasis basisOf(const WindowCase& w) {
    const double a = w.system == Ico ? 4.56084 : 1.7;
    return *buildLatticeBasis(w.system, a, 5.1, w.convention);
}

std::unique_ptr<ExactWindow> windowOf(const WindowCase& w) {
    OccupationDomain domain;
    domain.shape = DomainShape::Window;
    domain.scale = w.scale;
    domain.pentagon = w.pentagon;
    return exactWindow(w.system, basisOf(w), domain);
}

// Composite five-point Gauss-Legendre on [lo, hi] in `pieces` parts.
template <class F>
std::complex<double> gaussLegendre(F f, double lo, double hi, int pieces) {
    static const double node[5] = {-0.9061798459386640, -0.5384693101056831, 0.0,
                                   0.5384693101056831, 0.9061798459386640};
    static const double weight[5] = {0.2369268850561891, 0.4786286704993665, 0.5688888888888889,
                                     0.4786286704993665, 0.2369268850561891};
    std::complex<double> sum = 0.0;
    const double h = (hi - lo) / pieces;
    for (int p = 0; p < pieces; ++p)
        for (int i = 0; i < 5; ++i)
            sum += weight[i] * 0.5 * h * f(lo + h * (p + 0.5 + 0.5 * node[i]));
    return sum;
}

/** The corners (x0 y0 x1 y1 ..., counter-clockwise) of a two-dimensional window. */
std::vector<double> cornersOf(const ExactWindow& window) {
    if (const auto* simplices = dynamic_cast<const SimplexWindow*>(&window))
        return simplices->vertices();
    const auto& zonotope = dynamic_cast<const ZonotopeWindow&>(window);
    // Generators turned into the upper half-plane, by angle: walk them, then back.
    std::vector<std::array<double, 2>> g;
    const std::vector<double>& flat = zonotope.generators();
    for (size_t i = 0; i < flat.size(); i += 2) {
        const bool flip = flat[i + 1] < 0.0 || (flat[i + 1] == 0.0 && flat[i] < 0.0);
        g.push_back({flip ? -flat[i] : flat[i], flip ? -flat[i + 1] : flat[i + 1]});
    }
    std::sort(g.begin(), g.end(), [](const auto& a, const auto& b) {
        return std::atan2(a[1], a[0]) < std::atan2(b[1], b[0]);
    });
    double x = 0.0, y = 0.0;
    for (const auto& v : g) x -= 0.5 * v[0], y -= 0.5 * v[1];
    std::vector<double> corners;
    for (int pass : {1, -1})
        for (const auto& v : g) {
            corners.push_back(x);
            corners.push_back(y);
            x += pass * v[0];
            y += pass * v[1];
        }
    return corners;
}

/** The integral over the polygon with corners `v` (x0 y0 x1 y1 ...), by columns in x. */
std::complex<double> polygonIntegral(const std::vector<double>& v, const double* k) {
    const size_t n = v.size() / 2;
    std::vector<double> xs;
    for (size_t i = 0; i < n; ++i) xs.push_back(v[2 * i]);
    std::sort(xs.begin(), xs.end());
    const auto column = [&](double x) {
        double lo = 1e300, hi = -1e300;
        for (size_t i = 0; i < n; ++i) {
            const double x0 = v[2 * i], y0 = v[2 * i + 1];
            const double x1 = v[2 * ((i + 1) % n)], y1 = v[2 * ((i + 1) % n) + 1];
            if (x < std::min(x0, x1) || x > std::max(x0, x1) || x0 == x1) continue;
            const double y = y0 + (y1 - y0) * (x - x0) / (x1 - x0);
            lo = std::min(lo, y);
            hi = std::max(hi, y);
        }
        return std::polar(1.0, kTwoPi * k[0] * x) * chordIntegral(k[1], lo, hi);
    };
    std::complex<double> total = 0.0;
    for (size_t i = 0; i + 1 < xs.size(); ++i)
        if (xs[i + 1] - xs[i] > 1e-12) total += gaussLegendre(column, xs[i], xs[i + 1], 64);
    return total;
}

/**
 * (1/volume) integral over the zonohedron of the generators, by chords along z. Both are first
 * turned by a general rotation, so that no face is parallel to z and the chord length is
 * continuous.
 */
std::complex<double> zonohedronIntegral(std::vector<std::array<double, 3>> g, const double* kIn,
                                        double* volumeOut) {
    const double ca = std::cos(0.3), sa = std::sin(0.3), cb = std::cos(0.7), sb = std::sin(0.7);
    const auto turn = [&](const std::array<double, 3>& p) {
        const double x = ca * p[0] - sa * p[1], y = sa * p[0] + ca * p[1];
        return std::array<double, 3>{x, cb * y - sb * p[2], sb * y + cb * p[2]};
    };
    for (auto& l : g) l = turn(l);
    const std::array<double, 3> k = turn({kIn[0], kIn[1], kIn[2]});
    struct Face {
        double n[3];
        double h;
    };
    std::vector<Face> faces;
    double reach = 0.0;
    for (size_t i = 0; i < g.size(); ++i) {
        reach += 0.5 * std::sqrt(g[i][0] * g[i][0] + g[i][1] * g[i][1] + g[i][2] * g[i][2]);
        for (size_t j = i + 1; j < g.size(); ++j) {
            Face f{{g[i][1] * g[j][2] - g[i][2] * g[j][1], g[i][2] * g[j][0] - g[i][0] * g[j][2],
                    g[i][0] * g[j][1] - g[i][1] * g[j][0]},
                   0.0};
            for (const auto& l : g)
                f.h += 0.5 * std::abs(f.n[0] * l[0] + f.n[1] * l[1] + f.n[2] * l[2]);
            faces.push_back(f);
            faces.push_back({{-f.n[0], -f.n[1], -f.n[2]}, f.h});
        }
    }
    const int cells = 700;
    const double h = 2.0 * reach / cells;
    std::complex<double> total = 0.0;
    double volume = 0.0;
    for (int ix = 0; ix < cells; ++ix)
        for (int iy = 0; iy < cells; ++iy) {
            const double x = -reach + (ix + 0.5) * h, y = -reach + (iy + 0.5) * h;
            double lo = -1e300, hi = 1e300;
            for (const Face& f : faces) {
                const double rest = f.h - f.n[0] * x - f.n[1] * y;
                if (f.n[2] > 0.0)
                    hi = std::min(hi, rest / f.n[2]);
                else if (f.n[2] < 0.0)
                    lo = std::max(lo, rest / f.n[2]);
                else if (rest < 0.0)
                    hi = lo;
            }
            if (hi <= lo) continue;
            volume += (hi - lo) * h * h;
            total +=
                std::polar(h * h, kTwoPi * (k[0] * x + k[1] * y)) * chordIntegral(k[2], lo, hi);
        }
    *volumeOut = volume;
    return total / volume;
}

}  // namespace

TEST(SimplexMean, IsContinuousThroughEqualAndNearlyEqualPhases) {
    // Closed forms: one phase; two phases (e^ix - 1)/(ix); all equal.
    const double one[1] = {0.7};
    EXPECT_NEAR(std::abs(simplexMean(one, 1) - std::polar(1.0, 0.7)), 0.0, 1e-15);
    for (double x : {1e-9, 0.3, 0.999999, 1.000001, 7.0}) {
        const double two[2] = {0.0, x};
        const auto expected = std::polar(std::sin(x / 2) / (x / 2), x / 2);
        EXPECT_NEAR(std::abs(simplexMean(two, 2) - expected), 0.0, 1e-13) << x;
    }
    const double equal[4] = {2.5, 2.5, 2.5, 2.5};
    EXPECT_NEAR(std::abs(simplexMean(equal, 4) - std::polar(1.0, 2.5)), 0.0, 1e-14);
    // Across the switch between series and difference quotient, and around a double point.
    for (double d : {0.0, 1e-12, 1e-6}) {
        const double a[4] = {0.0, 0.999999 + d, 3.0, 3.0 + d};
        const double b[4] = {0.0, 1.000001 + d, 3.0, 3.0};
        EXPECT_NEAR(std::abs(simplexMean(a, 4) - simplexMean(b, 4)), 0.0, 1e-6) << d;
    }
}

TEST(ExactWindow, MatchesTheNumericalIntegralOfItsShape) {
    for (const WindowCase& w : kWindows) {
        SCOPED_TRACE(testing::Message()
                     << "system " << static_cast<int>(w.system) << " convention "
                     << static_cast<int>(w.convention) << " pentagon " << w.pentagon);
        const auto window = windowOf(w);
        if (w.system != Ico) {
            const std::vector<double> v = cornersOf(*window);
            // Zero, tiny, along a corner, across and along an edge, general, large.
            const double cx = v[0], cy = v[1];
            const double ex = v[2] - v[0], ey = v[3] - v[1];
            const double c = 1.0 / std::hypot(cx, cy), e = 1.0 / std::hypot(ex, ey);
            const double ks[][2] = {{0.0, 0.0},
                                    {1e-9, 2e-9},
                                    {0.9 * cx * c, 0.9 * cy * c},
                                    {-0.6 * ey * e, 0.6 * ex * e},
                                    {1.3 * ex * e, 1.3 * ey * e},
                                    {0.23, -0.71},
                                    {2.9, 1.7}};
            const double zero[2] = {0.0, 0.0};
            const double area = polygonIntegral(v, zero).real();
            EXPECT_NEAR(window->measure(), area, 1e-9 * area);
            for (const auto& k : ks) {
                const auto expected = polygonIntegral(v, k) / area;
                const auto got = window->transform(k);
                EXPECT_NEAR(got.real(), expected.real(), 1e-9) << k[0] << " " << k[1];
                EXPECT_NEAR(got.imag(), expected.imag(), 1e-9) << k[0] << " " << k[1];
            }
            continue;
        }
        const LatticeBasis basis = basisOf(w);
        std::vector<std::array<double, 3>> g;
        g.reserve(6);
        for (int r = 0; r < 6; ++r)
            g.push_back({w.scale * basis.direct(r, 3), w.scale * basis.direct(r, 4),
                         w.scale * basis.direct(r, 5)});
        const auto along = [](const std::array<double, 3>& d, double length) {
            const double n = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            return std::array<double, 3>{length * d[0] / n, length * d[1] / n, length * d[2] / n};
        };
        const std::array<double, 3> twofold{g[0][0] + g[1][0], g[0][1] + g[1][1],
                                            g[0][2] + g[1][2]};
        std::array<double, 3> corner{0.0, 0.0, 0.0};
        for (const auto& l : g) {
            const double side = 0.13 * l[0] + 0.29 * l[1] + l[2] > 0.0 ? 0.5 : -0.5;
            for (int c = 0; c < 3; ++c) corner[c] += side * l[c];
        }
        const std::array<double, 3> ks[] = {
            {0.0, 0.0, 0.0},     {1e-9, 0.0, 2e-9},      along(g[0], 0.11),  along(twofold, 0.07),
            along(corner, 0.09), {0.031, -0.052, 0.087}, {0.21, 0.13, -0.17}};
        for (const auto& k : ks) {
            double volume = 0.0;
            const auto expected = zonohedronIntegral(g, k.data(), &volume);
            const auto got = window->transform(k.data());
            EXPECT_NEAR(window->measure(), volume, 2e-4 * volume);
            EXPECT_NEAR(got.real(), expected.real(), 1e-4) << k[0] << " " << k[1] << " " << k[2];
            EXPECT_NEAR(got.imag(), expected.imag(), 1e-4);
        }
    }
}

TEST(ExactWindow, HasItsCentreOfMassAtTheSite) {
    // The transform's slope at k = 0 is 2 pi i times the centre of mass.
    for (const WindowCase& w : kWindows) {
        const auto window = windowOf(w);
        const int dimension = w.system == Ico ? 3 : 2;
        for (int axis = 0; axis < dimension; ++axis) {
            double k[3] = {0.0, 0.0, 0.0};
            k[axis] = 1e-6;
            const double centre = window->transform(k).imag() / (kTwoPi * 1e-6);
            EXPECT_NEAR(centre, 0.0, 1e-8) << static_cast<int>(w.system) << " " << w.pentagon;
        }
    }
}

namespace {

/** Rotations (r = 0..n-1) and mirrors (r = n..2n-1) of the plane by multiples of pi/n. */
std::array<double, 4> planeOperation(int r, int n) {
    const double t = (r < n ? 2.0 : 1.0) * M_PI * (r % n) / n;
    if (r < n) return {std::cos(t), -std::sin(t), std::sin(t), std::cos(t)};
    return {std::cos(2 * t), std::sin(2 * t), std::sin(2 * t), -std::cos(2 * t)};
}

/**
 * The perpendicular halves (xx, xy, yx, yy) of the axial point group: the pairs of plane
 * operations (parallel, perpendicular) that map the reciprocal lattice onto itself, found as
 * those whose matrix in the reciprocal basis is integral.
 */
std::vector<std::array<double, 4>> axialPointGroup(const LatticeBasis& basis, int order) {
    Matrix q(4, 4), qInverse;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) q(i, j) = basis.inverse(i, j);
    copyMatrix(q, 4, 4, qInverse);
    EXPECT_EQ(invertMatrix(qInverse, 4), InversionStatus::Ok);
    std::vector<std::array<double, 4>> found;
    for (int p = 0; p < 2 * order; ++p)
        for (int s = 0; s < 2 * order; ++s) {
            const auto a = planeOperation(p, order), b = planeOperation(s, order);
            double r[4][4] = {
                {a[0], a[1], 0, 0}, {a[2], a[3], 0, 0}, {0, 0, b[0], b[1]}, {0, 0, b[2], b[3]}};
            bool isIntegral = true;
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j) {
                    double sum = 0.0;
                    for (int u = 0; u < 4; ++u)
                        for (int v = 0; v < 4; ++v) sum += qInverse(i, u) * r[u][v] * q(v, j);
                    isIntegral = isIntegral && std::abs(sum - std::round(sum)) < 1e-6;
                }
            if (!isIntegral) continue;
            found.push_back(b);
        }
    return found;
}

/** The 6 x 6 signed permutations (sigma, sign) that keep both Gram matrices of the reciprocal
 * basis. */
std::vector<std::pair<std::array<int, 6>, std::array<int, 6>>> icosahedralPointGroup(
    const LatticeBasis& basis) {
    const auto gram = [&](int i, int j, int from) {
        double sum = 0.0;
        for (int c = from; c < from + 3; ++c) sum += basis.inverse(c, i) * basis.inverse(c, j);
        return sum;
    };
    std::vector<std::pair<std::array<int, 6>, std::array<int, 6>>> found;
    std::array<int, 6> sigma{0, 1, 2, 3, 4, 5};
    do {
        for (int signs = 0; signs < 64; ++signs) {
            std::array<int, 6> sign;
            for (int i = 0; i < 6; ++i) sign[i] = (signs >> i) & 1 ? -1 : 1;
            bool keeps = true;
            for (int i = 0; i < 6 && keeps; ++i)
                for (int j = 0; j < 6 && keeps; ++j)
                    for (int from : {0, 3})
                        keeps =
                            keeps && std::abs(sign[i] * sign[j] * gram(sigma[i], sigma[j], from) -
                                              gram(i, j, from)) < 1e-9;
            if (keeps) found.emplace_back(sigma, sign);
        }
    } while (std::next_permutation(sigma.begin(), sigma.end()));
    return found;
}

}  // namespace

TEST(ExactWindow, IsInvariantUnderThePointGroup) {
    const double ks[][3] = {{0.31, 0.17, -0.05}, {-0.8, 0.44, 0.12}, {1.9, -0.3, 0.07}};
    struct Axial {
        QuasicrystalSystem system;
        int order;
    };
    for (auto convention : {Y, S}) {
        for (Axial axial : {Axial{Oct, 8}, Axial{Dec, 10}, Axial{Dod, 12}}) {
            const WindowCase w{axial.system, convention, 0, 1.0};
            const auto group = axialPointGroup(basisOf(w), axial.order);
            EXPECT_EQ(group.size(), static_cast<size_t>(2 * axial.order));
            const auto window = windowOf(w);
            for (const auto& b : group)
                for (const auto& k : ks) {
                    const double turned[2] = {b[0] * k[0] + b[1] * k[1], b[2] * k[0] + b[3] * k[1]};
                    EXPECT_NEAR(std::abs(window->transform(turned) - window->transform(k)), 0.0,
                                1e-8);
                }
        }
        const WindowCase w{Ico, convention, 0, 1.0};
        const LatticeBasis basis = basisOf(w);
        const auto group = icosahedralPointGroup(basis);
        EXPECT_EQ(group.size(), 120u);
        const auto window = windowOf(w);
        const std::vector<int> hs[] = {
            {2, 1, 1, 1, 1, 1}, {1, 0, -1, 2, 0, 1}, {3, -2, 0, 1, 1, 0}};
        for (const auto& h : hs) {
            const double expected = window->transform(perpendicularOf(basis, h).data()).real();
            for (const auto& [sigma, sign] : group) {
                std::vector<int> image(6);
                for (int i = 0; i < 6; ++i) image[sigma[i]] = sign[i] * h[i];
                EXPECT_NEAR(window->transform(perpendicularOf(basis, image).data()).real(),
                            expected, 1e-8);
            }
        }
    }
}

TEST(ExactWindow, MeasureOverCellVolumeIsTheTilingVertexDensity) {
    // Vertices per volume of the Ammann-Beenker, Penrose and three-dimensional Penrose tilings
    // of edge l (as many vertices as tiles): squares and 45-degree rhombi 1 : sqrt 2, thick and
    // thin rhombi tau : 1, prolate and oblate rhombohedra tau : 1; layers c apart in the axial
    // ones.
    const double a = 2.3, c = 3.7;
    for (auto convention : {Y, S}) {
        const LatticeBasis oct = *buildLatticeBasis(Oct, a, c, convention);
        const double lOct = std::hypot(oct.direct(0, 0), oct.direct(0, 1));
        const auto octagon = exactWindow(Oct, oct, {DomainShape::Window, 0.0, 1.0, 0});
        EXPECT_NEAR(octagon->measure() / absDeterminant(oct.direct, 5),
                    (1 + std::sqrt(2.0)) / (2 * lOct * lOct * c), 1e-9);

        const LatticeBasis dec = *buildLatticeBasis(Dec, a, c, convention);
        double e0[2] = {0.0, 0.0};
        for (int r = 0; r < 4; ++r)
            for (int i = 0; i < 2; ++i) e0[i] -= 0.2 * dec.direct(r, i);
        const double lDec = std::hypot(e0[0], e0[1]);
        double pentagons = 0.0;
        for (int j = 1; j <= 4; ++j)
            pentagons += exactWindow(Dec, dec, {DomainShape::Window, 0.0, 1.0, j})->measure();
        const double penrose =
            (1 + kTau) / ((kTau * std::sin(0.4 * M_PI) + std::sin(0.2 * M_PI)) * lDec * lDec * c);
        EXPECT_NEAR(pentagons / absDeterminant(dec.direct, 5), penrose, 1e-9);

        const LatticeBasis ico = *buildLatticeBasis(Ico, a, 0.0, convention);
        const double l =
            std::sqrt(ico.direct(0, 0) * ico.direct(0, 0) + ico.direct(0, 1) * ico.direct(0, 1) +
                      ico.direct(0, 2) * ico.direct(0, 2));
        const double s = 1.0 / std::sqrt(5.0);
        const double prolate = l * l * l * (1 - s) * std::sqrt(1 + 2 * s);
        const double oblate = l * l * l * (1 + s) * std::sqrt(1 - 2 * s);
        const auto triacontahedron = exactWindow(Ico, ico, {DomainShape::Window, 0.0, 1.0, 0});
        EXPECT_NEAR(triacontahedron->measure() / absDeterminant(ico.direct, 6),
                    (1 + kTau) / (kTau * prolate + oblate), 1e-9);
        EXPECT_NEAR(triacontahedron->measure(), 4 * std::sqrt(5 + 2 * std::sqrt(5.0)) * l * l * l,
                    1e-6 * l * l * l);
    }
}

TEST(ExactWindow, TriacontahedronReproducesTheIcosahedralReferenceValues) {
    // a6D = 6.45 A: the canonical window has the volume of the sphere R = 6.533 A.
    const LatticeBasis basis = *buildLatticeBasis(Ico, 4.56084, 0.0, Y);
    const auto window = exactWindow(Ico, basis, {DomainShape::Window, 0.0, 1.0, 0});
    const double radius = 6.533;
    EXPECT_NEAR(window->measure(), 4.0 / 3.0 * M_PI * radius * radius * radius, 0.5);
    struct Reference {
        std::vector<int> h;
        double perpendicular, g;
    };
    const Reference references[] = {{{2, 1, 1, 1, 1, 1}, 0.02588, 0.8911},
                                    {{2, 2, 1, 0, 0, 1}, 0.04403, 0.7082},
                                    {{1, 1, 1, 0, 0, 0}, 0.06170, 0.4880}};
    for (const Reference& r : references) {
        const auto k = perpendicularOf(basis, r.h);
        EXPECT_NEAR(std::sqrt(k[0] * k[0] + k[1] * k[1] + k[2] * k[2]), r.perpendicular, 5e-6);
        const auto g = window->transform(k.data());
        EXPECT_NEAR(g.real(), r.g, 1e-4);  // 0.891146, 0.708217, 0.488083
        EXPECT_EQ(g.imag(), 0.0);
    }
    // Against the sphere of equal volume, in 200 directions: within 0.003 up to |H-perp| =
    // 0.085 1/A; the gap grows to 0.0042 at 0.1 1/A.
    double upTo085 = 0.0, upTo100 = 0.0;
    for (int d = 0; d < 200; ++d) {
        const double z = -1.0 + (d + 0.5) / 100.0, t = 2.399963 * d;
        const double u[3] = {std::sqrt(1 - z * z) * std::cos(t), std::sqrt(1 - z * z) * std::sin(t),
                             z};
        for (int step = 1; step <= 100; ++step) {
            const double q = 0.001 * step;
            const double k[3] = {q * u[0], q * u[1], q * u[2]};
            const double x = kTwoPi * q * radius;
            const double sphere = 3 * (std::sin(x) - x * std::cos(x)) / (x * x * x);
            const double gap = std::abs(window->transform(k).real() - sphere);
            upTo100 = std::max(upTo100, gap);
            if (step <= 85) upTo085 = std::max(upTo085, gap);
        }
    }
    EXPECT_LE(upTo085, 0.003);
    EXPECT_LE(upTo100, 0.0043);
}
