#pragma once

#include <array>
#include <string>

namespace tesral {

/** Counts of index vectors: a box of six limits of 32767 holds about 1.2e27. */
__extension__ typedef unsigned __int128 BoxCount;

/** Decimal text of a box count (a plain decimal without grouping). */
std::string boxCountText(BoxCount value);

/** The number of index vectors in the box: the product of (2 L + 1) over the n limits. */
BoxCount boxSize(const std::array<int, 6>& limits, int n);

}  // namespace tesral
