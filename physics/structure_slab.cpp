#include "physics/structure_slab.h"

#include <cmath>

#include "engine/groups.h"

namespace tesral::physics {
namespace {

/** The parallel part of the direct-lattice direction `axis`, in the atoms' frame. */
std::array<double, 3> parallelDirection(const LatticeBasis& basis, QuasicrystalSystem system,
                                        const AxisIndices& axis) {
    const bool icosahedral = system == QuasicrystalSystem::Icosahedral;
    const std::array<int, 3> parallel = icosahedral ? std::array{0, 1, 2} : std::array{0, 1, 4};
    std::array<double, 3> u{};
    for (int i = 0; i < basis.n; ++i)
        for (std::size_t c = 0; c < 3; ++c)
            u[c] += static_cast<double>(axis[static_cast<std::size_t>(i)]) *
                    basis.direct(i, parallel[c]);
    return u;
}

/**
 * The edge of the canonical tiling, angstrom: the parallel part of a vector of the hypercubic
 * lattice the windows come from. That lattice is the program's own but for the decagonal
 * system, whose four in-plane basis vectors are differences of the five: one of those is a
 * fifth of their sum, the step from the pentagon at height k/5 to the one at (k + 1)/5.
 */
double tilingEdge(const LatticeBasis& basis, QuasicrystalSystem system) {
    AxisIndices step{1};
    double fraction = 1.0;
    if (system == QuasicrystalSystem::Decagonal) step = {1, 1, 1, 1}, fraction = 0.2;
    const std::array<double, 3> edge = parallelDirection(basis, system, step);
    return fraction * std::hypot(edge[0], edge[1], edge[2]);
}

}  // namespace

std::vector<ZonePreset> slabAxes(QuasicrystalSystem system) {
    std::vector<ZonePreset> axes = zonePresets(system);
    if (system != QuasicrystalSystem::Icosahedral) axes.resize(1);
    return axes;
}

StructureSlab structureSlab(const Calculation& calculation, const std::vector<StructureAtom>& atoms,
                            const AxisIndices& axis, double thickness,
                            std::optional<double> height) {
    const RunParameters& p = calculation.parameters;
    const std::optional<LatticeBasis> basis = buildLatticeBasis(p.system, p.a, p.c, p.convention);
    StructureSlab slab;
    if (!basis) return slab;
    std::array<double, 3> n = parallelDirection(*basis, p.system, axis);
    const double length = std::hypot(n[0], n[1], n[2]);
    for (double& c : n) c /= length;
    const auto along = [&n](const StructureAtom& a) {
        return a.position[0] * n[0] + a.position[1] * n[1] + a.position[2] * n[2];
    };
    double at = height.value_or(0.0);
    if (!height) {
        double nearest = HUGE_VAL;
        for (const StructureAtom& a : atoms) {
            const double r = std::hypot(a.position[0], a.position[1], a.position[2]);
            if (r < nearest) nearest = r, at = along(a);
        }
    }
    for (const StructureAtom& a : atoms)
        if (std::abs(along(a) - at) <= 0.5 * thickness) slab.atoms.push_back(a);
    for (const Site& site : calculation.model->sites) {
        const OccupationDomain& domain = site.domain;
        slab.tilingSites.push_back(domain.shape == DomainShape::Window && domain.scale == 1.0 &&
                                   domain.innerScale == 0.0 &&
                                   groupCentring(p.groupNumber) == Centring::Primitive);
    }
    slab.tilingEdge = tilingEdge(*basis, p.system);
    slab.axis = n;
    slab.height = at;
    slab.thickness = thickness;
    return slab;
}

}  // namespace tesral::physics
