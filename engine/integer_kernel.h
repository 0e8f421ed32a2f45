#pragma once

// Integer bases of the solutions of integer linear equations.

#include <array>
#include <cstdint>
#include <optional>

namespace tesral {

/**
 * A unimodular basis of Z^n (columns), split by up to two integer forms: the last
 * n - rank columns span every integer solution of both forms being zero, the first `rank`
 * columns complete them to a basis, so every integer vector is one integer combination.
 */
struct SplitBasis {
    int n = 0;
    int rank = 0;
    /** column[c][i]: component i of basis column c. */
    std::array<std::array<std::int64_t, 6>, 6> column{};
};

/**
 * Column reduction (the extended Euclid algorithm on columns, as for the Hermite normal
 * form) of the 2 x n matrix of the forms. Nothing when an entry would leave 62 bits.
 */
std::optional<SplitBasis> splitByForms(const std::array<std::int64_t, 6>& first,
                                       const std::array<std::int64_t, 6>& second, int n);

/**
 * LLL-reduces columns from..n-1 of `basis` against the positive definite form `gram`
 * (n x n, in index coordinates), so that the walk over their combinations stays near the
 * ellipsoid. The columns keep spanning the same lattice. False on overflow.
 */
bool reduceColumns(SplitBasis& basis, int from, const double gram[6][6]);

}  // namespace tesral
