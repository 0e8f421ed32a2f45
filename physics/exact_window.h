#pragma once

#include <array>
#include <complex>
#include <memory>
#include <optional>
#include <vector>

#include "lattice/lattice_basis.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/**
 * An exact occupation domain: a convex polygon (axial systems) or polyhedron (icosahedral) in
 * perpendicular space, in the component order of the projected vector's perpendicular rows,
 * angstrom. Its centre of mass is the site, the origin of these coordinates.
 */
/**
 * A convex window as the planes normal . x <= offset that bound it (unit normals, offsets in
 * angstrom; the third normal component 0 in two dimensions) and the radius of the smallest ball
 * about the origin that holds it.
 */
struct WindowPlanes {
    std::vector<std::array<double, 3>> normals;
    std::vector<double> offsets;
    double circumradius = 0.0;
};

class ExactWindow {
  public:
    virtual ~ExactWindow() = default;
    /** Area (square angstrom) or volume (cubic angstrom). */
    virtual double measure() const = 0;
    /**
     * The normalised transform (1/measure) * integral over the window of exp(2 pi i k.x),
     * so 1 at k = 0. `k` is H-perp in 1/angstrom: two numbers (axial) or three (icosahedral).
     */
    virtual std::complex<double> transform(const double* k) const = 0;
    /** The bounding planes of a convex window; nothing for one that is not convex (a shell). */
    virtual std::optional<WindowPlanes> planes() const { return std::nullopt; }
};

/**
 * The window of a site's Window domain, for a run of `system` with `basis`, scaled linearly by
 * domain.scale. Octagonal: the regular octagon, the zonogon of the perpendicular parts of the
 * four in-plane direct vectors. Icosahedral: the rhombic triacontahedron, the zonohedron of the
 * six perpendicular parts. Dodecagonal: the regular dodecagon whose area gives the vertex
 * density of the square-triangle tiling, corners along the star vectors' perpendicular parts.
 * Decagonal: pentagon k = 1..4 is the Penrose tiling's window of the site at the direct
 * fractions (k/5)(1,1,1,1,0) (1 and 4 small, 2 and 3 large; one model of the tiling is the
 * four sites); pentagon 0 is the decagon that is the hull of the two large ones.
 * With domain.innerScale > 0 the window is a shell: the window less its copy at that scale.
 * Throws std::invalid_argument for a scale that is not a positive number, an inner scale
 * outside 0 .. scale or a pentagon outside 0..4.
 */
std::unique_ptr<ExactWindow> exactWindow(QuasicrystalSystem system, const LatticeBasis& basis,
                                         const OccupationDomain& domain);

}  // namespace tesral::physics
