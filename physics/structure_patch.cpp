#include "physics/structure_patch.h"

#include <cstdio>
#include <numbers>
#include <stdexcept>
#include <string>

#include "lattice/fixed_text.h"
#include "physics/point_density.h"

namespace tesral::physics {

namespace {

std::string shown(double value) {
    return printedNumber("%g", value);
}

/** The lattice of the calculation, or why there is none. */
LatticeBasis latticeOf(const RunParameters& p) {
    const std::optional<LatticeBasis> basis = buildLatticeBasis(p.system, p.a, p.c, p.convention);
    if (!basis) throw std::runtime_error(kLatticeConstantsMessage);
    return *basis;
}

void refuseAbove(double expected, const std::string& what) {
    if (expected > kMostPatchAtoms)
        throw std::runtime_error(what + " holds about " + shown(expected) + " atoms, more than " +
                                 shown(kMostPatchAtoms));
}

}  // namespace

std::vector<StructureAtom> calculationPatch(const Calculation& calculation,
                                            const PatchRequest& request) {
    const RunParameters& p = calculation.parameters;
    const LatticeBasis basis = latticeOf(p);
    const Centring centring = groupCentring(p.groupNumber);
    const StructureModel& model = *calculation.model;
    try {
        const double r = request.radius;
        refuseAbove(pointDensity(model, p.system, basis, centring) * 4.0 / 3.0 * std::numbers::pi *
                        r * r * r,
                    "a patch of radius " + shown(r) + " A");
        PatchRequest strained = request;
        strained.phasonStrain = p.phasonStrain;
        return structurePatch(model, p.system, basis, centring, strained);
    } catch (const std::invalid_argument& e) {
        throw std::runtime_error(e.what());
    }
}

std::vector<CellAtom> calculationCell(const Calculation& calculation,
                                      const std::array<double, 3>& phasonShift, unsigned workers) {
    const RunParameters& p = calculation.parameters;
    const LatticeBasis basis = latticeOf(p);
    const Centring centring = groupCentring(p.groupNumber);
    const StructureModel& model = *calculation.model;
    try {
        const ApproximantCell cell = centredApproximantCell(basis, *p.approximant, centring);
        refuseAbove(pointDensity(model, p.system, basis, centring) * cell.constants[0] *
                        cell.constants[1] * cell.constants[2],
                    "the " + approximantText(*p.approximant) + " cell");
        return approximantCellAtoms(model, p.system, basis, centring, *p.approximant, phasonShift,
                                    workers);
    } catch (const std::invalid_argument& e) {
        throw std::runtime_error(e.what());
    }
}

}  // namespace tesral::physics
