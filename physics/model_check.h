#pragma once

#include <optional>
#include <string>

#include "lattice/lattice_basis.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/** One thing wrong with a model: the key it concerns, as the model file spells it, and what. */
struct FieldProblem {
    std::string field;  // "element", "position", "radius", ...; empty when nothing is wrong
    std::string what;   // names the field: "radius must be greater than 0, not -1"

    explicit operator bool() const { return !field.empty(); }
};

/**
 * The first thing wrong with a site, in the order the keys stand in a model file. Without a
 * system, the position count and the domain's fit to the system are not checked.
 */
FieldProblem siteProblem(const Site& site, RadiationKind kind,
                         std::optional<QuasicrystalSystem> system);

/** The first thing wrong with the radiation: its voltage or wavelength. */
FieldProblem radiationProblem(const Radiation& radiation);

}  // namespace tesral::physics
