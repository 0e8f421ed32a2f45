#pragma once

// Pieces of a generation run shared by the enumerators.

#include <array>

#include "engine/box_count.h"
#include "engine/direction.h"
#include "engine/geometry.h"
#include "engine/groups.h"
#include "engine/progress.h"
#include "engine/reflection_table.h"
#include "lattice/lattice_basis.h"

namespace tesral {

/** Everything an enumerator needs, fixed for the run. */
struct RunContext {
    const LatticeBasis& basis;
    GeometryContext geometry;
    ExtinctionRules rules;
    int n;
    std::array<int, 6> limits;  // L6 is 0 for the axial systems
    BoxCount totalLoops;
};

/** Writes the values of an evaluated vector into `row`, each rounded to single precision. */
inline void fillReflection(const int h[6], const Evaluation& e, ReflectionRecord& row) {
    for (int i = 0; i < 6; ++i) row.v[kH1 + i] = static_cast<float>(h[i]);
    row.v[kTheta] = static_cast<float>(e.theta);
    row.v[kD] = static_cast<float>(e.d);
    row.v[kQe] = static_cast<float>(e.qe);
    row.v[kQi] = static_cast<float>(e.qi);
    row.v[kX] = static_cast<float>(e.x);
    row.v[kY] = static_cast<float>(e.y);
    row.v[kZ] = static_cast<float>(e.z);
    row.v[kIntensity] = 0.0f;
    row.isMainSpot = false;
}

/**
 * Writes an accepted vector into `row`, classes it and tests the group's conditions. True
 * when the row is kept.
 */
inline bool keepReflection(const int h[6], const Evaluation& e, const RunContext& ctx,
                           ReflectionRecord& row) {
    fillReflection(h, e, row);
    row.directionClass = classifyDirection(row, ctx.basis);
    return !ctx.rules.isExtinct(row);
}

enum class EnumerationEnd { Done, Cancelled, InvalidNumber };

/**
 * Fills `table` with the kept rows in run order, marks their main spots and widens `stats`
 * over them.
 */
using Enumerator = EnumerationEnd (*)(const RunContext& ctx, ReflectionTable& table,
                                      TableStatistics& stats, const ProgressCallback& progress);

/**
 * Walks only the part of the box that can hold accepted vectors, on all cores; the rows,
 * their order and a failure on a value that is not finite are those of the full walk.
 */
EnumerationEnd enumerateFast(const RunContext& ctx, ReflectionTable& table, TableStatistics& stats,
                             const ProgressCallback& progress);

/** True for plus or minus one basis vector, and for +-(1, 1, 1, 1, 0) in five dimensions. */
bool isMainReflection(const ReflectionRecord& row, int n);

}  // namespace tesral
