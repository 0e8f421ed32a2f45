#pragma once

#include <array>
#include <memory>
#include <vector>

#include "physics/simplex_window.h"

namespace tesral::physics {

using Point2 = std::array<double, 2>;

/**
 * The window bounded by the convex hull of `points` (angstrom), cut into triangles from the
 * origin. The origin must be the hull's centre of mass; the callers build centred shapes.
 */
std::unique_ptr<SimplexWindow> convexPolygonWindow(const std::vector<Point2>& points);

/** The n vertices of a regular polygon of circumradius r, the first at `angle` (radians). */
std::vector<Point2> regularPolygon(int n, double r, double angle);

}  // namespace tesral::physics
