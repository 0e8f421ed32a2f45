#include "physics/row_projection.h"

#include <cmath>

namespace tesral::physics {

RowProjector::RowProjector(const LatticeBasis& basis) : n_(basis.n) {
    // Component order: axial (par x, par y, perp x, perp y, par z), icosahedral (par x, y, z,
    // perp x, y, z).
    const bool axial = n_ == 5;
    const int parRows[3] = {0, 1, axial ? 4 : 2};
    const int perpRows[3] = {axial ? 2 : 3, axial ? 3 : 4, 5};
    parCount_ = 3;
    perpCount_ = axial ? 2 : 3;
    for (int j = 0; j < n_; ++j) {
        for (int i = 0; i < parCount_; ++i) par_[i][j] = basis.inverse(parRows[i], j);
        for (int i = 0; i < perpCount_; ++i) perp_[i][j] = basis.inverse(perpRows[i], j);
    }
}

SplitVector RowProjector::split(const ReflectionRecord& row) const {
    double h[6];
    for (int j = 0; j < n_; ++j) h[j] = row.v[kH1 + j];
    SplitVector out;
    double par2 = 0.0;
    for (int i = 0; i < parCount_; ++i) {
        double sum = 0.0;
        for (int j = 0; j < n_; ++j) sum += par_[i][j] * h[j];
        par2 += sum * sum;
    }
    double perp2 = 0.0;
    for (int i = 0; i < perpCount_; ++i) {
        double sum = 0.0;
        for (int j = 0; j < n_; ++j) sum += perp_[i][j] * h[j];
        out.perpendicular[static_cast<std::size_t>(i)] = sum;
        perp2 += sum * sum;
    }
    out.parallelLength = std::sqrt(par2);
    out.perpendicularLength = std::sqrt(perp2);
    return out;
}

}  // namespace tesral::physics
