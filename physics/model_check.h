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

/** Bounds of what a model means; beyond them sums overflow into NaN (angstrom, kV). */
constexpr double kLargestRadius = 1000.0;
constexpr double kSmallestScale = 1e-3;
constexpr double kLargestScale = 1000.0;
constexpr double kLargestB = 10000.0;  // square angstrom
constexpr double kLargestKilovolts = 10000.0;
constexpr double kLargestWavelength = 100.0;

/**
 * The first thing wrong with a site (an occupancy lies in 0..1: a site holding more is
 * written as several sites), in the order the keys stand in a model file. Without a
 * system, the position count and the domain's fit to the system are not checked.
 */
FieldProblem siteProblem(const Site& site, RadiationKind kind,
                         std::optional<QuasicrystalSystem> system);

/** A model's name holds no control characters but tabs (a line break would forge a report line). */
FieldProblem nameProblem(const std::string& name);

/** The first thing wrong with the radiation: its voltage or wavelength. */
FieldProblem radiationProblem(const Radiation& radiation);

}  // namespace tesral::physics
