#pragma once

// The reference run: visits every vector of the box with the full product per vector, and
// finishes the table row by row.

#include "engine/generation.h"
#include "engine/run_with_enumerator.h"

namespace tesral {

/**
 * Every vector in run order; statistics widened row by row as rows are kept, main spots
 * marked after the walk; progress every 100 visited vectors.
 */
EnumerationEnd enumerateLiteral(const RunContext& ctx, ReflectionTable& table,
                                TableStatistics& stats, const ProgressCallback& progress);

/** runGeneration with the literal walk. */
inline RunResult runLiteral(const RunInputs& inputs, const TableStatistics& previous = {},
                            const ProgressCallback& progress = {}) {
    return runGenerationWith(inputs, previous, progress, enumerateLiteral);
}

}  // namespace tesral
