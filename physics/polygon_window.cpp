#include "physics/polygon_window.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace tesral::physics {
namespace {

double cross(const Point2& o, const Point2& a, const Point2& b) {
    return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0]);
}

/** Andrew's monotone chain: the hull's corners, counter-clockwise, collinear points dropped. */
std::vector<Point2> convexHull(std::vector<Point2> p, double tolerance) {
    std::sort(p.begin(), p.end());
    if (p.size() < 3) return p;
    std::vector<Point2> hull(2 * p.size());
    size_t k = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], p[i]) <= tolerance) --k;
        hull[k++] = p[i];
    }
    for (size_t i = p.size() - 1, t = k + 1; i > 0; --i) {
        while (k >= t && cross(hull[k - 2], hull[k - 1], p[i - 1]) <= tolerance) --k;
        hull[k++] = p[i - 1];
    }
    hull.resize(k - 1);
    return hull;
}

}  // namespace

std::unique_ptr<SimplexWindow> convexPolygonWindow(const std::vector<Point2>& points) {
    double size = 0.0;
    for (const Point2& p : points) size = std::max({size, std::abs(p[0]), std::abs(p[1])});
    const std::vector<Point2> hull = convexHull(points, 1e-12 * size * size);
    if (hull.size() < 3 || !(size > 0.0) || !std::isfinite(size))
        throw std::invalid_argument("a window needs three corners around the origin");
    const size_t n = hull.size();
    std::vector<double> vertices;
    for (const Point2& p : hull) vertices.insert(vertices.end(), p.begin(), p.end());
    std::vector<SimplexWindow::Simplex> triangles;
    double area = 0.0;
    const Point2 origin{0.0, 0.0};
    for (size_t i = 0; i < n; ++i) {
        const double twice = cross(origin, hull[i], hull[(i + 1) % n]);
        area += 0.5 * twice;
        triangles.push_back({{static_cast<int>(i), static_cast<int>((i + 1) % n), 0}, 0.5 * twice});
    }
    for (auto& t : triangles) t.weight /= area;
    return std::make_unique<SimplexWindow>(2, std::move(vertices), std::move(triangles), area);
}

std::vector<Point2> regularPolygon(int n, double r, double angle) {
    std::vector<Point2> v;
    for (int i = 0; i < n; ++i) {
        const double t = angle + 2.0 * std::numbers::pi * i / n;
        v.push_back({r * std::cos(t), r * std::sin(t)});
    }
    return v;
}

}  // namespace tesral::physics
