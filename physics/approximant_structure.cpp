#include "physics/approximant_structure.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace tesral::physics {
namespace {

/** Fractions this close below a face's 1 are the opposite face's 0 (rounding of the walk). */
constexpr double kFaceTolerance = 1e-9;

}  // namespace

std::vector<CellAtom> approximantCellAtoms(const StructureModel& model, QuasicrystalSystem system,
                                           const LatticeBasis& basis, Centring centring,
                                           const Approximant& approximant,
                                           const std::array<double, 3>& phasonShift,
                                           unsigned workers) {
    const ApproximantCell cell = centredApproximantCell(basis, approximant, centring);
    PatchRequest request;
    request.phasonShift = phasonShift;
    request.workers = workers;
    request.phasonStrain = approximantStrain(basis, approximant);
    double diagonal2 = 0.0;
    for (int c = 0; c < 3; ++c) {
        for (const auto& v : cell.vectors) request.centre[c] += 0.5 * v[c];
        diagonal2 += 4.0 * request.centre[c] * request.centre[c];
    }
    // The half diagonal reaches the corners; a little more keeps atoms on them.
    request.radius = 0.5 * std::sqrt(diagonal2) + 0.01;

    std::vector<CellAtom> atoms;
    for (const StructureAtom& a : structurePatch(model, system, basis, centring, request)) {
        CellAtom atom;
        atom.site = a.site;
        bool inside = true;
        for (int i = 0; i < 3 && inside; ++i) {
            // The vectors are orthogonal: the fraction is the projection on one of them.
            const auto& v = cell.vectors[static_cast<std::size_t>(i)];
            const double f = (a.position[0] * v[0] + a.position[1] * v[1] + a.position[2] * v[2]) /
                             (v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            if (f < -kFaceTolerance || f >= 1.0 - kFaceTolerance) inside = false;
            atom.fraction[static_cast<std::size_t>(i)] = std::max(f, 0.0);
        }
        if (inside) atoms.push_back(atom);
    }
    std::sort(atoms.begin(), atoms.end(), [](const CellAtom& l, const CellAtom& r) {
        return std::tie(l.site, l.fraction[2], l.fraction[1], l.fraction[0]) <
               std::tie(r.site, r.fraction[2], r.fraction[1], r.fraction[0]);
    });
    return atoms;
}

std::array<double, 3> cellPosition(const ApproximantCell& cell, const CellAtom& atom) {
    std::array<double, 3> x{};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t c = 0; c < 3; ++c) x[c] += atom.fraction[i] * cell.vectors[i][c];
    return x;
}

}  // namespace tesral::physics
