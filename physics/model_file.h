#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "lattice/lattice_basis.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/** A model read from a model file, or the first thing wrong with it. */
struct ModelLoad {
    /** Nothing when anything is wrong: no part of a bad file is used. */
    std::optional<StructureModel> model;
    /** "file:line: what is wrong", naming the key; empty when the model was read. */
    std::string error;
};

/**
 * Reads a model from TOML text: `name`, a [radiation] table (kind = "xray" | "electron" |
 * "neutron", kilovolts, wavelength) and [[site]] tables (label, element, position, occupancy,
 * domain = "sphere" | "disc" | "window", radius, inner_radius, scale, inner_scale, pentagon,
 * b_par, b_perp). Two sites with one label are an error naming both lines. `source`
 * names the text in messages and becomes the model's source. A key the format does not know
 * is an error, so that a misspelt one is not silently ignored. With a system, the position
 * counts and the domains are checked against it too; modelProblem checks them later
 * otherwise, still naming the file and the site's line.
 */
ModelLoad parseModel(std::string_view text, const std::string& source,
                     std::optional<QuasicrystalSystem> system = std::nullopt);

/**
 * Reads the model file at `path` (see parseModel): a regular file of at most
 * kLargestModelFile bytes, never cut; a UTF-8 byte-order mark and UTF-16 are read as the
 * configuration file reads them. Write a model with modelText and the safe writer
 * (report/safe_file.h).
 */
ModelLoad loadModel(const std::string& path,
                    std::optional<QuasicrystalSystem> system = std::nullopt);

/** The model as model-file text; parseModel reads it back to the same model. */
std::string modelText(const StructureModel& model);

}  // namespace tesral::physics
