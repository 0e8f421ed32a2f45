#pragma once

#include <complex>
#include <vector>

#include "engine/generation.h"
#include "physics/structure_model.h"
#include "physics/window_factor.h"

namespace tesral::physics {

/**
 * F(H) = sum over sites of p V f(s) T g(|H-perp|) exp(2 pi i h.r), prepared once per run:
 * each site's factors of s and of |H-perp| are sampled over the range of the run's rows, its
 * phases tabulated per index. Only the exact windows need the direction of H-perp (see
 * WindowFactor); the rest reads the rows' qe and qi.
 */
class StructureFactor {
  public:
    /**
     * `model` must have no modelProblem for the run's system. Builds the exact window of each
     * window site once with `makeWindow` (and throws what that throws).
     */
    StructureFactor(const StructureModel& model, const RunResult& run,
                    const WindowMaker& makeWindow = exactWindow);
    ~StructureFactor();
    StructureFactor(StructureFactor&&) noexcept;

    std::complex<double> operator()(const ReflectionRecord& row) const;

    /** Writes |F|^2 of rows [begin, end) into their kIntensity values; returns the largest. */
    float writeIntensities(ReflectionRecord* begin, ReflectionRecord* end) const;

  private:
    struct SiteTerm;
    bool real_ = true;           // only round domains at the origin: F is real
    double perpendicularPerQi_;  // |H-perp| = qi * this
    std::vector<SiteTerm> sites_;
};

}  // namespace tesral::physics
