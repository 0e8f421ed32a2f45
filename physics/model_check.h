#pragma once

#include <optional>
#include <string>
#include <vector>

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
constexpr std::size_t kLongestLabel = 32;

/**
 * The first thing wrong with a site (an occupancy lies in 0..1: a site holding more is
 * written as several sites), in the order the keys stand in a model file. A label is empty
 * or an identifier (letters, digits, underscores; no digit first); an inner radius or scale
 * is 0 (none) or below the outer one, and only the shape's own is set. Without a
 * system, the position count and the domain's fit to the system are not checked.
 */
FieldProblem siteProblem(const Site& site, RadiationKind kind,
                         std::optional<QuasicrystalSystem> system);

/** Two sites with one label (indices into the model's sites, earlier < later). */
struct RepeatedLabel {
    std::size_t earlier = 0;
    std::size_t later = 0;
};

/** The first site whose label an earlier site has; labels must tell the sites apart. */
std::optional<RepeatedLabel> repeatedLabel(const std::vector<Site>& sites);

/** A model's name holds no control characters but tabs (a line break would forge a report line). */
FieldProblem nameProblem(const std::string& name);

/** The first thing wrong with the radiation: its voltage or wavelength. */
FieldProblem radiationProblem(const Radiation& radiation);

}  // namespace tesral::physics
