#pragma once

// Atoms as extended XYZ, the text format ASE, OVITO and VESTA read.

#include <array>
#include <string>
#include <vector>

#include "physics/real_space_structure.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/**
 * The atoms as extended XYZ: their count, a comment line
 * `Properties=species:S:1:pos:R:3:label:S:1:occupancy:R:1 name="MODEL"`, then one line per
 * atom: element, x, y, z (angstrom, six decimals), the site's label (element and site number,
 * "Al2", for a site without one) and its occupancy. Lines end in "\n". With a lattice (rows
 * a, b, c in angstrom: a periodic cell) the comment line starts with its
 * `Lattice="ax ay az bx by bz cx cy cz"` and ends in `pbc="T T T"`.
 */
std::string extendedXyz(const StructureModel& model, const std::vector<StructureAtom>& atoms,
                        const std::array<std::array<double, 3>, 3>* lattice = nullptr);

/** The label an atom of site `index` is written with. */
std::string atomLabel(const StructureModel& model, std::size_t index);

}  // namespace tesral::physics
