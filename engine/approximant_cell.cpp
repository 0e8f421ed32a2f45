#include "engine/approximant_cell.h"

#include <numeric>
#include <vector>

namespace tesral {
namespace {

/** Index vectors that generate the centring's reflections (all of Z^n for P). */
std::vector<std::array<int, 6>> reflectionGenerators(Centring centring, int n) {
    std::vector<std::array<int, 6>> out;
    for (int i = 0; i < n; ++i) {
        std::array<int, 6> h{};
        if (centring == Centring::Primitive) {
            h[static_cast<std::size_t>(i)] = 1;
        } else if (centring == Centring::Face) {
            h[static_cast<std::size_t>(i)] = 2;  // and below, all odd
        } else {
            h[0] += 1;  // e_1 + e_i; 2 e_1 for i = 0
            h[static_cast<std::size_t>(i)] += 1;
        }
        out.push_back(h);
    }
    if (centring == Centring::Face) {
        std::array<int, 6> odd{};
        for (int i = 0; i < n; ++i) odd[static_cast<std::size_t>(i)] = 1;
        out.push_back(odd);
    }
    return out;
}

}  // namespace

ApproximantCell centredApproximantCell(const LatticeBasis& basis, const Approximant& approximant,
                                       Centring centring) {
    ApproximantCell cell = approximantCell(basis, approximant);
    if (centring == Centring::Primitive) return cell;
    int factor[3] = {0, 0, 0};
    for (const auto& h : reflectionGenerators(centring, cell.n))
        for (std::size_t r = 0; r < 3; ++r) {
            int index = 0;
            for (std::size_t j = 0; j < static_cast<std::size_t>(cell.n); ++j)
                index += cell.indexMatrix[r][j] * h[j];
            factor[r] = std::gcd(factor[r], index);
        }
    // A cubic cell stays cubic: one factor for its three axes.
    if (cell.cubic)
        factor[0] = factor[1] = factor[2] = std::gcd(std::gcd(factor[0], factor[1]), factor[2]);
    for (std::size_t r = 0; r < 3; ++r) {
        if (factor[r] <= 1) continue;
        // Every reflection's index along r is a multiple of factor: the period is that smaller.
        cell.constants[r] /= factor[r];
        for (double& v : cell.vectors[r]) v /= factor[r];
        cell.divisor[r] = factor[r];
    }
    return cell;
}

std::optional<ApproximantCell> runApproximantCell(const RunParameters& run) {
    if (!run.approximant) return std::nullopt;
    const auto basis = buildLatticeBasis(run.system, run.a, run.c, run.convention);
    if (!basis) return std::nullopt;
    return centredApproximantCell(*basis, *run.approximant, groupCentring(run.groupNumber));
}

}  // namespace tesral
