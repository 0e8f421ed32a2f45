#pragma once

#include <cstddef>
#include <functional>

namespace tesral {

/**
 * Runs `work(i)` for i in [0, count), each on a thread of its own, while the calling thread
 * runs `meanwhile`, and returns once every thread has been joined.
 *
 * Whatever the way out - a thread that cannot be started, an exception from a worker or from
 * `meanwhile` - `stop` is called once (so that waiting or looping workers can end), every
 * started thread is joined, and the first exception is rethrown. A thread that cannot be
 * started gives a std::system_error "cannot start a thread: ...". `stop` may be called from
 * any of the threads.
 */
void fanOut(std::size_t count, const std::function<void(std::size_t)>& work,
            const std::function<void()>& meanwhile = {}, const std::function<void()>& stop = {});

}  // namespace tesral
