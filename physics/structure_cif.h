#pragma once

// One approximant cell as a small-molecule CIF: the cell, P 1, and every atom with its
// element and occupancy, the form gemmi, VESTA and the structure programs read.

#include <string>
#include <vector>

#include "lattice/approximant.h"
#include "physics/approximant_structure.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/**
 * The cell's atoms as CIF: data block `data_<block>`, the model's name, cell lengths, angles
 * of 90 and volume, space group P 1 with its one operation, and the atom loop (label,
 * element, fractional x y z with six decimals, occupancy). Labels are the site's label and a
 * running number ("Al1_3"; "Al3" for a site labelled "Al"), unique within the file. A cell
 * whose vectors are left-handed is written with z turned to 1 - z, the same structure in the
 * right-handed cell the format assumes. Lines end in "\n".
 */
std::string smallMoleculeCif(const StructureModel& model, const std::string& block,
                             const ApproximantCell& cell, const std::vector<CellAtom>& atoms);

}  // namespace tesral::physics
