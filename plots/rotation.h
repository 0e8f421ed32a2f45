#pragma once

#include <cstddef>
#include <span>

#include "engine/reflection_table.h"

namespace tesral {

/**
 * Turns columns 0..2 (depth, horizontal, vertical) of every row in place by `degrees` about
 * axis 1 (the viewing direction: turns the picture in the screen plane), 2 (the horizontal
 * screen axis: tilts) or 3 (the vertical screen axis). Other axis numbers turn nothing.
 * Sine and cosine are taken in single precision, the products summed in double precision.
 */
void Rotate(std::span<ProjectedPoint> rows, int axis, float degrees);

/**
 * Orders rows first..last (inclusive) by descending depth (column 0), so that the farthest
 * spots are painted first. A quicksort with the middle row's depth as pivot; rows of equal
 * depth always end in the same order for the same input.
 */
void sortByDepth(std::span<ProjectedPoint> rows, std::ptrdiff_t first, std::ptrdiff_t last);

/** Sorts all rows. */
inline void sortByDepth(std::span<ProjectedPoint> rows) {
    sortByDepth(rows, 0, static_cast<std::ptrdiff_t>(rows.size()) - 1);
}

}  // namespace tesral
