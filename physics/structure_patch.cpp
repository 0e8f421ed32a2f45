#include "physics/structure_patch.h"

#include <cstdio>
#include <numbers>
#include <stdexcept>
#include <string>

#include "physics/point_density.h"

namespace tesral::physics {

namespace {

std::string shown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

std::vector<StructureAtom> calculationPatch(const Calculation& calculation,
                                            const PatchRequest& request) {
    const RunParameters& p = calculation.parameters;
    const std::optional<LatticeBasis> basis = buildLatticeBasis(p.system, p.a, p.c, p.convention);
    if (!basis) throw std::runtime_error(kLatticeConstantsMessage);
    const Centring centring = groupCentring(p.groupNumber);
    const StructureModel& model = *calculation.model;
    try {
        const double r = request.radius;
        const double expected = pointDensity(model, p.system, *basis, centring) * 4.0 / 3.0 *
                                std::numbers::pi * r * r * r;
        if (expected > kMostPatchAtoms)
            throw std::runtime_error("a patch of radius " + shown(r) + " A holds about " +
                                     shown(expected) + " atoms, more than " +
                                     shown(kMostPatchAtoms));
        PatchRequest strained = request;
        strained.phasonStrain = p.phasonStrain;
        return structurePatch(model, p.system, *basis, centring, strained);
    } catch (const std::invalid_argument& e) {
        throw std::runtime_error(e.what());
    }
}

}  // namespace tesral::physics
