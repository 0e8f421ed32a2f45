#pragma once

#include <functional>
#include <string>

#include "engine/generation.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/**
 * Why `model` cannot be used with a run of `system`: a position count that does not fit,
 * a disc in icosahedral or a sphere in an axial system, an unknown element. Empty when it can.
 * A site read from a model file is named by "file:line: " in front.
 */
std::string modelProblem(const StructureModel& model, QuasicrystalSystem system);

/**
 * Writes the relative intensity (100 = the strongest row, 0 when every F is 0) of every row
 * of a completed run into row.v[kIntensity]. Returns false when `stop` asked to stop; the
 * values are then incomplete. Throws std::invalid_argument with the modelProblem when the
 * model does not fit the run's system, and what exactWindow throws for a window it cannot
 * build.
 */
bool fillIntensities(const StructureModel& model, RunResult& run,
                     const std::function<bool()>& stop = {});

}  // namespace tesral::physics
