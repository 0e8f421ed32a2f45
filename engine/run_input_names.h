#pragma once

// The names a user types for a run's choices (system, convention, group symbol, anode), read
// the same way by the command line and the Python module.

#include <optional>
#include <string>
#include <string_view>

#include "lattice/lattice_basis.h"

namespace tesral {

/** "octagonal", "decagonal", "dodecagonal" or "icosahedral". */
std::optional<QuasicrystalSystem> systemNamed(std::string_view name);

/** "yamamoto" or "steurer". */
std::optional<MatrixConvention> conventionNamed(std::string_view name);

/** The position of the group `symbol` (as "P10/mmm") in the system's list. */
std::optional<int> groupPositionNamed(QuasicrystalSystem system, std::string_view symbol);

/** The anode's mean wavelength as the wavelength field shows it ("Mo": "0.7106867"). */
std::optional<std::string> anodeWavelengthText(std::string_view anode);

/** The element count a phason strain takes for the system: 9 icosahedral, 4 axial. */
int phasonStrainElementCount(QuasicrystalSystem system);

/** What an approximant's text may be for the system, as the refusal of a bad one says. */
std::string approximantUsage(QuasicrystalSystem system);

}  // namespace tesral
