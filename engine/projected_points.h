#pragma once

#include <atomic>

#include "engine/reflection_table.h"

namespace tesral {

/**
 * The 3D plot's working copy of a table: row r holds (x, y, z) and r. Built by whoever shows
 * the 3D plot, so a run that only writes a report never pays its 20 bytes a row. When `stop`
 * (may be null) becomes true, the building ends within milliseconds and gives no points.
 */
ProjectedPoints projectedPointsOf(const ReflectionTable& table,
                                  const std::atomic<bool>* stop = nullptr);

}  // namespace tesral
