#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "physics/exact_window.h"
#include "window_test_support.h"

using namespace tesral;
using namespace tesral::physics;
using namespace tesral::physics::test;

namespace {

struct Vertex {
    double x, y;
};

/**
 * Vertices within `radius` of a Penrose tiling made straight from the five-dimensional
 * hypercubic lattice: m in Z^5 is a vertex when (m_perp - shift, m_0 + .. + m_4) lies in the
 * projection of the unit 5-cube on the three-dimensional internal space (perpendicular plane
 * and body diagonal). The star e_i is read from the program's basis: e_0 = -(d_1+..+d_4)/5,
 * e_i = d_i + e_0.
 */
std::vector<Vertex> penroseVertices(const LatticeBasis& basis, const double shift[2],
                                    double radius) {
    double e[5][4] = {};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) e[0][c] -= 0.2 * basis.direct(r, c);
    for (int i = 1; i < 5; ++i)
        for (int c = 0; c < 4; ++c) e[i][c] = basis.direct(i - 1, c) + e[0][c];
    // Faces of the internal zonohedron: normals of each generator pair and their support.
    struct Face {
        double n[3], support;
    };
    std::vector<Face> faces;
    for (int i = 0; i < 5; ++i)
        for (int l = i + 1; l < 5; ++l) {
            const double gi[3] = {e[i][2], e[i][3], 1.0}, gl[3] = {e[l][2], e[l][3], 1.0};
            Face f{{gi[1] * gl[2] - gi[2] * gl[1], gi[2] * gl[0] - gi[0] * gl[2],
                    gi[0] * gl[1] - gi[1] * gl[0]},
                   0.0};
            for (int j = 0; j < 5; ++j)
                f.support += 0.5 * std::abs(f.n[0] * e[j][2] + f.n[1] * e[j][3] + f.n[2]);
            faces.push_back(f);
        }
    const double edge = std::hypot(e[0][0], e[0][1]);
    const int reach = static_cast<int>(0.4 * (radius / edge + 2.0)) + 2;
    std::vector<Vertex> vertices;
    for (int layer = 1; layer <= 4; ++layer)
        for (int m1 = -reach; m1 <= reach; ++m1)
            for (int m2 = -reach; m2 <= reach; ++m2)
                for (int m3 = -reach; m3 <= reach; ++m3)
                    for (int m4 = -reach; m4 <= reach; ++m4) {
                        const int m[5] = {layer - m1 - m2 - m3 - m4, m1, m2, m3, m4};
                        double p[4] = {};
                        for (int i = 0; i < 5; ++i)
                            for (int c = 0; c < 4; ++c) p[c] += m[i] * e[i][c];
                        if (p[0] * p[0] + p[1] * p[1] > radius * radius) continue;
                        const double y[3] = {p[2] - shift[0], p[3] - shift[1], layer - 2.5};
                        bool inside = true;
                        for (const Face& f : faces)
                            inside = inside && std::abs(f.n[0] * y[0] + f.n[1] * y[1] +
                                                        f.n[2] * y[2]) < f.support;
                        if (inside) vertices.push_back({p[0], p[1]});
                    }
    return vertices;
}

}  // namespace

TEST(PenroseWindows, FourPentagonSitesGiveTheFourierTransformOfThePenroseVertices) {
    // The vertices' Fourier sum under a wide Gaussian against the model: pentagon j at the site
    // (j/5)(1,1,1,1,0); the window shift adds the phase exp(-2 pi i H_perp . shift). The sum
    // picks up about 0.01 from the dense weak peaks near each reflection.
    const LatticeBasis basis =
        *buildLatticeBasis(QuasicrystalSystem::Decagonal, 1.0, 1.0, MatrixConvention::Yamamoto);
    const double shift[2] = {-0.0513, 0.1107};
    const double edge = 2.0 / std::sqrt(5.0), sigma = 12.0 * edge;
    const std::vector<Vertex> vertices = penroseVertices(basis, shift, 4.5 * sigma);
    ASSERT_GT(vertices.size(), 5000u);
    std::vector<std::unique_ptr<ExactWindow>> pentagons;
    double total = 0.0;
    for (int j = 1; j <= 4; ++j) {
        pentagons.push_back(
            exactWindow(QuasicrystalSystem::Decagonal, basis, {DomainShape::Window, 0.0, 1.0, j}));
        total += pentagons.back()->measure();
    }
    // Strong reflections of five orbits; weak ones where the point-reflected pentagons would
    // give quite another value (0.050, -0.064, 0.005 against -0.041, 0.027, -0.082).
    const std::vector<int> hs[] = {{-3, -2, 2, 3, 0}, {-1, 1, 3, 2, 0}, {2, 0, -3, -3, 0},
                                   {0, 2, 2, 1, 0},   {1, 2, 1, 0, 0},  {2, 2, -3, -3, 0},
                                   {-3, 0, 2, 3, 0},  {1, 0, 1, 1, 0}};
    for (const auto& h : hs) {
        const std::vector<double> q = project(basis, h);
        std::complex<double> sum = 0.0;
        double weights = 0.0;
        for (const Vertex& v : vertices) {
            const double w = std::exp(-(v.x * v.x + v.y * v.y) / (2 * sigma * sigma));
            sum += std::polar(w, kTwoPi * (q[0] * v.x + q[1] * v.y));
            weights += w;
        }
        const double k[2] = {q[2], q[3]};
        std::complex<double> model = 0.0;
        for (int j = 1; j <= 4; ++j)
            model += std::polar(pentagons[j - 1]->measure() / total,
                                kTwoPi * j / 5.0 * (h[0] + h[1] + h[2] + h[3])) *
                     pentagons[j - 1]->transform(k);
        model *= std::polar(1.0, -kTwoPi * (k[0] * shift[0] + k[1] * shift[1]));
        const std::complex<double> direct = sum / weights;
        EXPECT_NEAR(std::abs(direct - model), 0.0, 0.015)
            << h[0] << " " << h[1] << " " << h[2] << " " << h[3];
    }
}
