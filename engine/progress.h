#pragma once

#include <functional>

namespace tesral {

/**
 * The part of a run's progress given to the walk of the index box; writing the rows to the
 * table fills the rest. In the runs long enough to watch, where most walked vectors are
 * kept, writing the rows takes about three times as long as the walk.
 */
constexpr double kWalkShareOfProgress = 0.25;

/**
 * Progress of a run, 0..1: the fraction of the index box covered so far, over the first
 * kWalkShareOfProgress of the range, then the fraction of the rows written, over the rest.
 * Returning false cancels the run. It is always called on the thread that started the run,
 * one call at a time, at the start, about every 10 ms and once the loops are done; an empty
 * callback is never called.
 */
using ProgressCallback = std::function<bool(double fraction)>;

}  // namespace tesral
