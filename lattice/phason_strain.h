#pragma once

// A linear phason strain: the matrix M (perpendicular x parallel) that moves the direct
// basis as d_perp' = d_perp + M d_par, so that the reciprocal basis moves in parallel space
// only, H_par' = H_par - M^T H_perp.

#include <array>
#include <string>

#include "lattice/lattice_basis.h"

namespace tesral {

struct PhasonStrain {
    /** 3 (icosahedral, 3 x 3) or 2 (axial, the in-plane 2 x 2). */
    int size = 0;
    /** Row-major: element (i, j) is values[i * size + j]; i perpendicular, j parallel. */
    std::array<double, 9> values{};

    double at(int i, int j) const { return values[static_cast<std::size_t>(i * size + j)]; }
    bool operator==(const PhasonStrain&) const = default;
};

/** The matrix side a system's strain has: 3 icosahedral, 2 for the axial systems. */
inline int phasonStrainSize(QuasicrystalSystem system) {
    return system == QuasicrystalSystem::Icosahedral ? 3 : 2;
}

/**
 * Strains the reciprocal basis in place: the parallel rows of each column lose M^T H_perp.
 * `direct` stays the unstrained lattice, on purpose: the occupation domains, the exact
 * windows, the label constant and the cell volume are read from it and do not move (the
 * strained direct basis differs only in its perpendicular parts, d_perp + M d_par). The
 * strain's size must be the basis's (2 for n = 5, 3 for n = 6).
 */
void applyPhasonStrain(LatticeBasis& basis, const PhasonStrain& strain);

/** "phason strain M = [[m11, m12], [m21, m22]]" with the shortest exact numbers. */
std::string phasonStrainText(const PhasonStrain& strain);

}  // namespace tesral
