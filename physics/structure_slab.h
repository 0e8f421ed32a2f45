#pragma once

// A slab of a structure's atoms: the layer perpendicular to a lattice direction that the
// Structure view and the structure picture draw, with the tiling's edge where there is one.

#include <array>
#include <optional>
#include <vector>

#include "engine/zone_axis.h"
#include "physics/calculation.h"
#include "physics/real_space_structure.h"

namespace tesral::physics {

struct StructureSlab {
    /** The atoms whose coordinate along the axis lies within half the thickness of height. */
    std::vector<StructureAtom> atoms;
    /** Unit normal in the atoms' frame: the parallel part of the direct direction asked for. */
    std::array<double, 3> axis{0, 0, 1};
    double height = 0.0;     // angstrom
    double thickness = 1.0;  // angstrom
    /**
     * The canonical tiling's edge (angstrom) and, by site, whether the site's atoms are its
     * vertices: a whole exact window on a primitive lattice.
     */
    double tilingEdge = 0.0;
    std::vector<bool> tilingSites;
};

/** The slab axes: the periodic one for the axial systems, the zone presets icosahedral. */
std::vector<ZonePreset> slabAxes(QuasicrystalSystem system);

/**
 * The slab of `atoms` (a patch of the calculation's model, which must be set) perpendicular to
 * the direct-lattice direction `axis`. Without a height the slab goes through the atom nearest
 * the origin, so a layer off the origin is found by itself.
 */
StructureSlab structureSlab(const Calculation& calculation, const std::vector<StructureAtom>& atoms,
                            const AxisIndices& axis, double thickness,
                            std::optional<double> height = std::nullopt);

}  // namespace tesral::physics
