#pragma once

#include <atomic>
#include <functional>

#include "engine/progress.h"

namespace tesral {

/** Threads used for a run: one per core. */
unsigned workerCount();

/**
 * Runs `work` `workers` times at once until all return. Meanwhile the calling thread calls
 * `progress` with `fraction()` at the start (with `askFirst`), every 10 ms and once the work
 * is done, one call at a time; when it returns false, `stop` is set and the result is false.
 * Without `progress` the calling thread runs one of the `work`s itself. An exception thrown
 * by a worker, or a thread that cannot be started, sets `stop` and is rethrown once all
 * started threads have ended (see fanOut).
 */
bool runWorkers(const std::function<void()>& work, const ProgressCallback& progress,
                const std::function<double()>& fraction, std::atomic<bool>& stop, bool askFirst,
                unsigned workers = workerCount());

}  // namespace tesral
