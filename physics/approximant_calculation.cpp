#include "physics/approximant_calculation.h"

namespace tesral::physics {

std::optional<Calculation> withApproximant(Calculation calculation,
                                           const Approximant& approximant) {
    RunParameters& p = calculation.parameters;
    const std::optional<LatticeBasis> basis = buildLatticeBasis(p.system, p.a, p.c, p.convention);
    if (!basis || approximant.system != p.system) return std::nullopt;
    p.approximant = approximant;
    p.phasonStrain = approximantStrain(*basis, approximant);
    return calculation;
}

Calculation withoutStrain(Calculation calculation) {
    calculation.parameters.approximant.reset();
    calculation.parameters.phasonStrain.reset();
    calculation.header.strainText.clear();
    if (calculation.model) calculation.model->phasonStrain.reset();
    return calculation;
}

ComparedPowder comparedPowder(const Calculation& calculation, const PowderRequest& request,
                              bool compare, const Watch& watch) {
    // Each pattern has its half of the progress.
    const auto half = [&](double from) {
        Watch w = watch;
        if (watch.progress && compare)
            w.progress = [&watch, from](double done) { watch.progress(from + done / 2.0); };
        return w;
    };
    ComparedPowder out;
    out.pattern = powder(calculation, request, half(0.0));
    if (!compare || !out.pattern.ok()) return out;
    PowderResult quasicrystal = powder(withoutStrain(calculation), request, half(0.5));
    if (!quasicrystal.ok())
        out.pattern.message = quasicrystal.message;
    else
        out.quasicrystal = std::move(quasicrystal.profile);
    return out;
}

}  // namespace tesral::physics
