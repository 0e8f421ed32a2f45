#pragma once

// Which perpendicular-space points an occupation domain holds: the test behind the atoms of a
// structure in real space.

#include <array>
#include <vector>

#include "lattice/lattice_basis.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/**
 * A site's occupation domain as a point set in perpendicular space (the component order of
 * the projected vector's perpendicular rows, angstrom, centred on the site): a sphere or disc,
 * or the exact window for the run's basis, each with its inner hole when it is a shell.
 *
 * The domain is half-open: a point on its boundary belongs to it when a vanishing step from it
 * along a fixed generic direction leads inside. Domains that tile perpendicular space (a
 * window's lattice translates, the nested shells of one position) then share no boundary
 * point, and a phason shift that puts points on a boundary (no shift at all, for the exact
 * windows) still gives the set of a tiling: its limit along that direction.
 */
class DomainRegion {
  public:
    /** Throws what exactWindow throws for a window that cannot be built. */
    DomainRegion(QuasicrystalSystem system, const LatticeBasis& basis,
                 const OccupationDomain& domain);

    /** Whether the point `x` (2 or 3 numbers, angstrom) lies in the domain. */
    bool contains(const double* x) const;

    /** The radius of the smallest ball about the site that holds the domain, angstrom. */
    double outerRadius() const { return outer_.circumradius; }
    int dimension() const { return dimension_; }

  private:
    /** A convex part: a ball (no planes) or the planes of a polygon or polyhedron. */
    struct Convex {
        bool ball = true;
        double radius = 0.0;  // the ball's
        std::vector<std::array<double, 3>> normals;
        std::vector<double> offsets;
        double circumradius = 0.0;
        double inradius = 0.0;  // a ball inside: points in it need no plane test
        double tolerance = 0.0;
        bool contains(const double* x, int dimension) const;
    };
    static Convex convexOf(QuasicrystalSystem system, const LatticeBasis& basis,
                           const OccupationDomain& domain, bool inner);

    int dimension_ = 3;
    Convex outer_;
    bool shell_ = false;
    Convex inner_;
};

}  // namespace tesral::physics
