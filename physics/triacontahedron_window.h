#pragma once

#include <array>
#include <memory>
#include <vector>

#include "physics/simplex_window.h"

namespace tesral::physics {

using Point3 = std::array<double, 3>;

/**
 * The centred zonohedron {sum t_i g_i : -1/2 <= t_i <= 1/2} of generators no three of which are
 * coplanar: a parallelogram face normal to each pair's cross product and its opposite. Each face
 * of one half is cut into two tetrahedra with the origin. Six generators along the fivefold axes
 * give the rhombic triacontahedron.
 */
std::unique_ptr<SimplexWindow> zonohedronWindow(const std::vector<Point3>& generators);

}  // namespace tesral::physics
