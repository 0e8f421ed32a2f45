#include "physics/triacontahedron_window.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tesral::physics {
namespace {

Point3 cross(const Point3& a, const Point3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double dot(const Point3& a, const Point3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Point3 combine(const Point3& c, double s, const Point3& g, double t, const Point3& h) {
    return {c[0] + s * g[0] + t * h[0], c[1] + s * g[1] + t * h[1], c[2] + s * g[2] + t * h[2]};
}

/** The index of `p` in `vertices`, appended when no vertex lies within `tolerance`. */
int vertexIndex(std::vector<double>& vertices, const Point3& p, double tolerance) {
    const int count = static_cast<int>(vertices.size() / 3);
    for (int v = 0; v < count; ++v)
        if (std::abs(vertices[3 * v] - p[0]) <= tolerance &&
            std::abs(vertices[3 * v + 1] - p[1]) <= tolerance &&
            std::abs(vertices[3 * v + 2] - p[2]) <= tolerance)
            return v;
    vertices.insert(vertices.end(), p.begin(), p.end());
    return count;
}

}  // namespace

std::unique_ptr<SimplexWindow> zonohedronWindow(const std::vector<Point3>& generators) {
    double size = 0.0;
    for (const Point3& g : generators) size = std::max(size, std::sqrt(dot(g, g)));
    if (!(size > 0.0) || !std::isfinite(size))
        throw std::invalid_argument("a window needs non-zero generators");
    const double tolerance = 1e-9 * size;
    const size_t m = generators.size();
    std::vector<double> vertices;
    std::vector<SimplexWindow::Simplex> tetrahedra;
    double halfVolume = 0.0;
    for (size_t i = 0; i < m; ++i)
        for (size_t j = i + 1; j < m; ++j) {
            const Point3& gi = generators[i];
            const Point3& gj = generators[j];
            const Point3 normal = cross(gi, gj);
            if (std::sqrt(dot(normal, normal)) <= tolerance * size) continue;
            // The face centre: every other generator pushed half-way towards the normal.
            Point3 centre{0.0, 0.0, 0.0};
            for (size_t l = 0; l < m; ++l) {
                if (l == i || l == j) continue;
                const double side = dot(normal, generators[l]);
                if (std::abs(side) <= tolerance * size * size)
                    throw std::invalid_argument("three window generators are coplanar");
                centre = combine(centre, side > 0.0 ? 0.5 : -0.5, generators[l], 0.0, gj);
            }
            const Point3 q[4] = {
                combine(centre, -0.5, gi, -0.5, gj), combine(centre, 0.5, gi, -0.5, gj),
                combine(centre, 0.5, gi, 0.5, gj), combine(centre, -0.5, gi, 0.5, gj)};
            int index[4];
            for (int c = 0; c < 4; ++c) index[c] = vertexIndex(vertices, q[c], tolerance);
            for (int t = 0; t < 2; ++t) {
                const Point3& b = q[t + 1];
                const Point3& c = q[t + 2];
                const double volume = std::abs(dot(q[0], cross(b, c))) / 6.0;
                halfVolume += volume;
                tetrahedra.push_back({{index[0], index[t + 1], index[t + 2]}, volume});
            }
        }
    if (tetrahedra.empty()) throw std::invalid_argument("the window generators are coplanar");
    for (auto& t : tetrahedra) t.weight /= halfVolume;  // twice the share of 2 * halfVolume
    return std::make_unique<SimplexWindow>(3, std::move(vertices), std::move(tetrahedra),
                                           2.0 * halfVolume, true);
}

}  // namespace tesral::physics
