#pragma once

// tesral-cli refine: the options, the refinement and its text outputs (the table, FIT.json and
// REFINED.toml), shared by the text command and the picture program.

#include <string>
#include <vector>

#include "cli/options.h"
#include "physics/model_refinement.h"

namespace tesral::cli {

KnownOptions refineOptions();

struct RefineJob {
    physics::Observations data;
    physics::Calculation start;
    physics::RefineOptions options;
    physics::ModelRefinement fit;
};

/**
 * Reads the options, the model and the observations and refines. Mistakes of the options
 * throw UsageError; a refinement that cannot start throws std::runtime_error with its one line.
 */
RefineJob refineJobFrom(const Options& options);

/** The table of parameters (start, refined, su) and the figures of merit. */
std::string refineTableText(const RefineJob& job);

/** FIT.json. */
std::string refineJsonText(const RefineJob& job);

/** REFINED.toml: the refined model, the refined a, c and zero named in comment lines. */
std::string refinedModelText(const RefineJob& job);

/** The table on standard output, the model to --output and FIT.json to --json. */
void writeRefineOutputs(const Options& options, const RefineJob& job);

}  // namespace tesral::cli
