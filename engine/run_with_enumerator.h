#pragma once

// The run loop over an enumerator: the fast walk for runPrepared, the literal walk of the
// tests, or a measured one in the benchmarks.

#include "engine/generation.h"
#include "engine/run_steps.h"

namespace tesral {

/** runPrepared with the given enumerator. */
RunResult runPreparedWith(const PreparedRun& run, const TableStatistics& previous,
                          const ProgressCallback& progress, Enumerator enumerate);

/** runGeneration with the given enumerator. */
inline RunResult runGenerationWith(const RunInputs& inputs, const TableStatistics& previous,
                                   const ProgressCallback& progress, Enumerator enumerate) {
    return runPreparedWith(prepareRun(inputs), previous, progress, enumerate);
}

}  // namespace tesral
