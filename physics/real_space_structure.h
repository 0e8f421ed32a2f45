#pragma once

// A quasicrystal model seen as atoms: the cut-and-project points of its sites' domains.

#include <array>
#include <atomic>
#include <optional>
#include <vector>

#include "engine/groups.h"
#include "engine/worker_pool.h"
#include "lattice/lattice_basis.h"
#include "lattice/phason_strain.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/** One atom of a structure in real space. */
struct StructureAtom {
    /** Parallel space, angstrom: x, y, z (the axial systems' z along the periodic axis). */
    std::array<double, 3> position{};
    /** Index into the model's sites: element, label and occupancy. */
    int site = 0;
};

/** Which atoms of a quasicrystal to make. */
struct PatchRequest {
    /** The patch is the ball of this radius about `centre` in parallel space, angstrom. */
    double radius = 0.0;
    /**
     * The phason shift of the windows, perpendicular space in the projected vector's component
     * order, angstrom: three numbers for the icosahedral system, the first two for the axial.
     */
    std::array<double, 3> phasonShift{};
    unsigned workers = workerCount();
    /**
     * A linear phason strain: the lattice points' perpendicular parts become d-perp + M d-par
     * (the domains keep their shape). An approximant's strain makes the patch periodic.
     */
    std::optional<PhasonStrain> phasonStrain;
    /** The ball's centre in parallel space, angstrom (x, y, z as the atoms' positions). */
    std::array<double, 3> centre{};
    /** Set while the patch is made: the walk ends early and the atoms are only a part. */
    const std::atomic<bool>* stop = nullptr;
};

/**
 * The atoms of `model` within the request's radius of its centre: the points x-par =
 * pi-par(n + t + r_k) of the lattice points n (t the centring translations) at which the cut
 * x-perp = phason shift meets site k's domain attached there, that is, whose perpendicular part
 * pi-perp(n + t + r_k) - shift lies in the point-reflected domain (DomainRegion). That is the
 * structure whose diffraction the structure factor gives (its phase exp(2 pi i h.r_k) times the
 * domain's own transform); the two readings differ only for domains without a centre of
 * symmetry, the Penrose pentagons. The order depends on the inputs only (not on the workers).
 * Both parts come from the rows of
 * basis.direct, under the request's phason strain those of the strained lattice (an
 * approximant's strain gives its periodic structure; one wrapped cell is not made here).
 *
 * The walk is output-sensitive: it visits the lattice points of the ellipsoid
 * |x-par - c|^2 / R^2 + |x-perp - phi|^2 / rho_k^2 <= 2 (rho_k the domain's outer radius), which
 * holds every atom and, for round domains, about 2.3 candidates per atom, and cuts its
 * innermost index to the part of the ball and the domain's bounding ball exactly. Throws
 * std::invalid_argument for a window that cannot be built.
 */
std::vector<StructureAtom> structurePatch(const StructureModel& model, QuasicrystalSystem system,
                                          const LatticeBasis& basis, Centring centring,
                                          const PatchRequest& request);

}  // namespace tesral::physics
