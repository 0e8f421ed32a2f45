#pragma once

#include <functional>

namespace tesral {

/**
 * Progress of a run, 0..1: the fraction of the index box covered so far, then of the rows
 * written to the table, each over its part of the range. Returning false cancels the run.
 * It is always called on the thread that started the run, one call at a time, at the start,
 * about every 10 ms and once the loops are done; an empty callback is never called.
 */
using ProgressCallback = std::function<bool(double fraction)>;

}  // namespace tesral
