#pragma once

#include <array>
#include <complex>
#include <vector>

#include "engine/reflection_table.h"
#include "lattice/lattice_basis.h"
#include "physics/row_projection.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/** The largest values the rows of a run reach; they size what is sampled once per run. */
struct RowExtent {
    double maxS = 0.0;              // s = |H-par| / 2, 1/angstrom
    double maxPerpendicular = 0.0;  // |H-perp|, 1/angstrom
    std::array<int, 6> maxIndex{};  // the largest |h_i|
};

/**
 * F(H) = sum over sites of p V f(s) T g(|H-perp|) exp(2 pi i h.r), prepared once per run:
 * each site's factors of s and of |H-perp| are sampled, its phases tabulated per index.
 * Rows beyond the extent are still right, only slower.
 */
class StructureFactor {
  public:
    /**
     * `model` must have no modelProblem for `system`. Builds the exact window of each window
     * site once (and throws what that throws).
     */
    StructureFactor(const StructureModel& model, QuasicrystalSystem system,
                    const LatticeBasis& basis, const RowExtent& extent);
    ~StructureFactor();
    StructureFactor(StructureFactor&&) noexcept;

    std::complex<double> operator()(const ReflectionRecord& row) const;

  private:
    struct SiteTerm;
    RowProjector projector_;
    std::vector<SiteTerm> sites_;
};

}  // namespace tesral::physics
