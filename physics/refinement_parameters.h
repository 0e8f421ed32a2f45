#pragma once

// The quantities a model refinement moves, by the names the user gives them, and their bounds.

#include <cstddef>
#include <string>
#include <vector>

#include "lattice/lattice_basis.h"
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
    int term = 0;                    // background
    std::vector<std::size_t> sites;  // site fields: the sites that share the value

    bool onSites() const { return quantity >= RefinedQuantity::Occupancy; }
    /** Moves the positions or widths of the lines: a, c. */
    bool onLattice() const {
        return quantity == RefinedQuantity::A || quantity == RefinedQuantity::C;
    }
};

/**
 * The references of `vary` for `model` (axial: c exists), background expanded into
 * `backgroundTerms` terms. `error` names the first name that the model or the system lacks,
 * and the result is then empty.
 */
std::vector<ParameterRef> parameterRefs(const std::vector<std::string>& vary,
                                        const StructureModel& model, QuasicrystalSystem system,
                                        int backgroundTerms, std::string& error);

double valueOf(const ParameterRef& ref, const RefinementState& state);
void setValue(const ParameterRef& ref, RefinementState& state, double value);
/** `value` moved inside the bounds (radii and widths positive, occupancies 0..1). */
double bounded(const ParameterRef& ref, const RefinementState& state, double value);

}  // namespace tesral::physics
