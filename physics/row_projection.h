#pragma once

#include <array>

#include "engine/reflection_table.h"
#include "lattice/lattice_basis.h"

namespace tesral::physics {

/** A row's projected vector split into its parallel length and perpendicular part. */
struct SplitVector {
    double parallelLength = 0.0;  // |H-par| = qe, 1/angstrom
    /** H-perp, 1/angstrom: two components (axial) or three (icosahedral). */
    std::array<double, 3> perpendicular{};
    double perpendicularLength = 0.0;
};

/** Projects rows' indices with a run's basis: q = inverse * h, summed in index order. */
class RowProjector {
  public:
    explicit RowProjector(const LatticeBasis& basis);

    SplitVector split(const ReflectionRecord& row) const;
    /** 2 (axial) or 3 (icosahedral). */
    int perpendicularCount() const { return perpCount_; }

  private:
    int n_ = 0;
    int parCount_ = 0;
    int perpCount_ = 0;
    double par_[3][6] = {};   // the parallel rows of the inverse
    double perp_[3][6] = {};  // the perpendicular rows
};

}  // namespace tesral::physics
