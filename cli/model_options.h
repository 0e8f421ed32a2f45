#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "engine/generation.h"
#include "physics/structure_model.h"

namespace tesral::cli {

/** --model and the one-site shortcut: --domain, --element, --radiation, --b-par, --b-perp. */
std::vector<std::string> modelOptionNames();

/** The help text of the model options. */
const char* modelOptionsHelp();

/**
 * The model the options name for a run of `system`: a model file (--model) or one site
 * (--domain and the rest); nothing when neither is given. A shortcut without --domain or both
 * ways at once is a usage mistake; a model file that cannot be used throws std::runtime_error
 * with "file:line: what is wrong".
 */
std::optional<physics::StructureModel> modelFrom(const Options& options, QuasicrystalSystem system);

}  // namespace tesral::cli
