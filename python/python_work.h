#pragma once

// Long work for Python: on a thread of its own while the interpreter runs on, watched from the
// calling thread so that Ctrl+C and the progress callback are heard between blocks.

#include <pybind11/pybind11.h>

#include <atomic>
#include <functional>
#include <string>

#include "physics/calculation.h"

namespace tesral::python {

/**
 * Runs `work` with the GIL released. About every 20 ms the calling thread takes the GIL,
 * checks for signals and tells `progress` (None or a callable taking the fraction done,
 * 0..1). A KeyboardInterrupt or any exception there stops the work through the watch, waits
 * for it and propagates; an exception of the work propagates too.
 */
void runWatched(const std::function<void(const physics::Watch& watch)>& work,
                const pybind11::object& progress);

/** Raises OSError with `message` (a file that cannot be written, as the command line says it). */
[[noreturn]] void throwOSError(const std::string& message);

}  // namespace tesral::python
