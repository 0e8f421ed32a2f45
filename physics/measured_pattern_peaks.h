#pragma once

// The steps of the peak search in a measured pattern, each linear in the number of points.

#include <cstddef>
#include <optional>
#include <vector>

namespace tesral::physics {

/** The median spacing of increasing `x` (0 for fewer than two points). */
double medianStep(const std::vector<double>& x);

/** The noise of `y` from the median of its second differences (a smooth pattern: small). */
double noiseLevel(const std::vector<double>& y);

/** The mean of `y` over [i - half, i + half] (cut at the ends) for every i. */
std::vector<double> runningMean(const std::vector<double>& y, std::size_t half);

/**
 * The largest (or, with `largest` false, the smallest) of `v` over [i - before, i + after]
 * for every i, the window cut at the ends; a window with nothing in it (before = 0 and
 * after = -1 at i = 0, say) gives -infinity (+infinity).
 */
std::vector<double> windowExtreme(const std::vector<double>& v, std::ptrdiff_t before,
                                  std::ptrdiff_t after, bool largest);

/**
 * The vertex of the least-squares parabola through (x, y) over [first, last], as an offset
 * from x[at]; nothing when the points do not fix a parabola open downwards or the vertex
 * lies outside half their span.
 */
std::optional<double> parabolaTop(const std::vector<double>& x, const std::vector<double>& y,
                                  std::size_t first, std::size_t last, std::size_t at);

}  // namespace tesral::physics
