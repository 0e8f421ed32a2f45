#pragma once

// The quantities a model refinement moves, by the names the user gives them, and their bounds.

#include <cstddef>
#include <string>
#include <vector>

#include "lattice/lattice_basis.h"
#include "lattice/phason_strain.h"
#include "physics/powder_profile.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/** Everything a refinement may move: the model, the lattice, the scale and the profile. */
struct RefinementState {
    StructureModel model;
    double a = 0.0, c = 0.0;  // angstrom
    double zero = 0.0;        // degrees, 2-theta observed = calculated + zero
    double scale = 1.0;
    ProfileShape shape;
    std::vector<double> background;  // Chebyshev coefficients
    /** The phason strain of the run (zero when it has none): its size is the system's. */
    PhasonStrain strain;
};

enum class RefinedQuantity {
    Scale,
    Zero,
    A,
    C,
    Background,
    U,
    V,
    W,
    Eta,
    Phason,         // the isotropic part: M = value * phasonIsotropicMap
    PhasonElement,  // one element of M, term = row * size + column
    Occupancy,
    Radius,
    InnerRadius,
    InnerScale,
    WindowScale,
    BParallel,
    BPerpendicular,
};

/** One refined number: a global, a background term, or a site field shared by `sites`. */
struct ParameterRef {
    std::string name;  // as written; background terms "background0", "background1", ...
    RefinedQuantity quantity = RefinedQuantity::Scale;
    int term = 0;                    // background term; strain element (row * size + column)
    std::vector<std::size_t> sites;  // site fields: the sites that share the value
    PhasonStrain map;                // phason: the strain it scales

    bool onSites() const { return quantity >= RefinedQuantity::Occupancy; }
    /** Moves the positions or widths of the lines: a, c. */
    bool onLattice() const {
        return quantity == RefinedQuantity::A || quantity == RefinedQuantity::C;
    }
    /** Moves the lines through the phason strain. */
    bool onStrain() const {
        return quantity == RefinedQuantity::Phason || quantity == RefinedQuantity::PhasonElement;
    }
};

/** Quantities of RefinedQuantity, for tables indexed by it. */
constexpr int kRefinedQuantities = static_cast<int>(RefinedQuantity::BPerpendicular) + 1;

/**
 * The strain `phason` scales: the map from the parallel frame to the perpendicular one that
 * commutes with a subgroup of the point group the two frames share. Icosahedral: the
 * tetrahedral subgroup of one inscribed cube (x and z exchanged; in Steurer's frames with one
 * sign turned), so that phason = +-tau^-3 strains the lattice into the 1/1 cubic approximant.
 * Axial: the in-plane identity (no strain commutes with the N-fold axis, whose perpendicular image
 * turns by a multiple of its angle; the identity commutes with the 2-fold axes and mirrors the
 * frames share).
 */
PhasonStrain phasonIsotropicMap(QuasicrystalSystem system, MatrixConvention convention);

/**
 * The references of `vary` for `model` (axial: c exists), background expanded into
 * `backgroundTerms` terms. `error` names the first name that the model or the system lacks,
 * and the result is then empty.
 */
std::vector<ParameterRef> parameterRefs(const std::vector<std::string>& vary,
                                        const StructureModel& model, QuasicrystalSystem system,
                                        MatrixConvention convention, int backgroundTerms,
                                        std::string& error);

double valueOf(const ParameterRef& ref, const RefinementState& state);
void setValue(const ParameterRef& ref, RefinementState& state, double value);
/** `value` moved inside the bounds (radii and widths positive, occupancies 0..1). */
double bounded(const ParameterRef& ref, const RefinementState& state, double value);

}  // namespace tesral::physics
