#pragma once

// Rational approximants: the linear phason strain that replaces the irrational of a system
// (tau, sqrt 2 or sqrt 3) by a ratio P/Q in the coordinates of the reciprocal basis, so that
// every strained H_par' lies on a periodic lattice, and the cell of that lattice.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "lattice/lattice_basis.h"
#include "lattice/phason_strain.h"

namespace tesral {

struct Ratio {
    int p = 1;
    int q = 1;
    bool operator==(const Ratio&) const = default;
};

struct Approximant {
    QuasicrystalSystem system = QuasicrystalSystem::Icosahedral;
    /**
     * Icosahedral: ratios[0] only (a consecutive Fibonacci ratio, cubic cell). Axial:
     * ratios[0] along the cell's a axis (the in-plane reference direction, along d*_1),
     * ratios[1] along b (perpendicular to it in the plane); "P/Q" alone sets both.
     */
    std::array<Ratio, 2> ratios{};
    /** How many ratios the text named: 1, or 2 ("P/Q,R/S", axial only). */
    int count = 1;
    bool operator==(const Approximant&) const = default;
};

/**
 * "1/1", "2/1", "3/2", "5/3", "8/5", ... (icosahedral) or "P/Q" / "P/Q,R/S" with positive
 * integers (axial). On failure returns nothing and sets error to a one-line message.
 */
std::optional<Approximant> parseApproximant(std::string_view text, QuasicrystalSystem system,
                                            std::string& error);
/** "3/2" or "3/2,5/3": the form parseApproximant reads. */
std::string approximantText(const Approximant& approximant);

/**
 * The strain, in the basis's own parallel and perpendicular frames, under which the
 * reciprocal basis of `basis` (unstrained, as buildLatticeBasis makes it) becomes periodic.
 * Throws std::logic_error for a basis without the system's rational frame (never one that
 * buildLatticeBasis made); approximantCell likewise.
 */
PhasonStrain approximantStrain(const LatticeBasis& basis, const Approximant& approximant);

struct ApproximantCell {
    /** Cell constants a, b, c in angstrom (a = b = c for the cubic icosahedral cell). */
    std::array<double, 3> constants{};
    bool cubic = false;
    /** Index dimension n of the basis (5 or 6): the used columns of indexMatrix. */
    int n = 0;
    /**
     * hkl = (indexMatrix * (h1 ... hn)) / divisor, row by row, for every reflection of the
     * strained lattice. The divisors are 1 but for a centred lattice whose reflections'
     * sums all share a factor (the cell is then that much smaller; see the engine's
     * centredApproximantCell).
     */
    std::array<std::array<int, 6>, 3> indexMatrix{};
    std::array<int, 3> divisor{1, 1, 1};
    /**
     * The cell's direct vectors a, b, c (rows, angstrom) in the parallel frame: components
     * (par x, par y, par z), the report's coordinates. They are orthogonal; a reflection's
     * hkl is H_par' . (row i).
     */
    std::array<std::array<double, 3>, 3> vectors{};
};

ApproximantCell approximantCell(const LatticeBasis& basis, const Approximant& approximant);

/** The cell indices h, k, l of the index vector h1 ... hn. */
std::array<int, 3> cellIndicesOf(const ApproximantCell& cell, const std::array<int, 6>& h);

/**
 * The report head's line: "approximant 1/1, cubic a = 12.3019 A" or "approximant 2/1,3/2,
 * orthorhombic a = 14.7657, b = 20.3233, c = 12.0600 A".
 */
std::string approximantCellText(const Approximant& approximant, const ApproximantCell& cell);

}  // namespace tesral
