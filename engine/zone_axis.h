#pragma once

// Zone axes: directions of the direct lattice and the exact test of which reflections lie
// in the plane through the origin perpendicular to one.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lattice/lattice_basis.h"

namespace tesral {

/** Indices of a direct-lattice direction; the sixth is 0 for the axial systems. */
using AxisIndices = std::array<std::int64_t, 6>;

/** Largest magnitude of an axis index; keeps the exact sums far inside 64 bits. */
constexpr std::int64_t kLargestAxisIndex = 1000000;

/**
 * The inner products of the parallel parts of the reciprocal basis vector i and the direct
 * basis vector j, d*_i|| . d_j||, written exactly as (rational(i, j) + irrational(i, j) sqrt(root))
 * / denominator. They depend on the system only, not on a, c or the basis convention: both
 * bases are built from the same star of vectors, and d*_i . d_j = delta_ij in the full
 * space, so the parallel part of the product is the matrix of the projector onto parallel
 * space, whose entries are cosines of multiples of the star's angle (72, 45 or 30 degrees,
 * in Q(sqrt 5), Q(sqrt 2) or Q(sqrt 3)). Along the periodic axis d*_5 . d_5 = 1 exactly.
 */
struct ExactInnerProducts {
    int root = 5;
    int denominator = 1;
    int rational[6][6] = {};
    int irrational[6][6] = {};
};
const ExactInnerProducts& exactInnerProducts(QuasicrystalSystem system);

/**
 * The two integer forms of an axis: H|| . u|| * denominator = rational . h + sqrt(root)
 * irrational . h for every index vector h. Since sqrt(root) is irrational, the reflection h
 * lies in the section exactly when both integer sums are zero.
 */
struct ZoneForms {
    std::array<std::int64_t, 6> rational{};
    std::array<std::int64_t, 6> irrational{};
};
ZoneForms zoneForms(QuasicrystalSystem system, const AxisIndices& axis);

/** True when the reflection h lies in the section of the axis, decided in integers. */
bool inZone(const ZoneForms& forms, const int h[6], int n);

/** The named axes of a system, in the order the help lists them. */
struct ZonePreset {
    std::string_view name;
    std::string_view description;
    AxisIndices axis;
};
std::vector<ZonePreset> zonePresets(QuasicrystalSystem system);

/**
 * Reads an axis: a preset name or n (5 or 6) whole numbers separated by blanks, commas or
 * both ("1 1 0 0 0 0", "1,1,0,0,0,0", "1, 1, 0, 0, 0, 0"). Returns the reason it cannot be
 * used, empty when `axis` was set.
 */
std::string parseZoneAxis(std::string_view text, QuasicrystalSystem system, AxisIndices& axis);

/** Largest magnitude of a reflection index, the largest loop limit. */
constexpr int kLargestReflectionIndex = 32767;

/**
 * Reads the indices of a reflection (n whole numbers, separated as for an axis; no preset
 * names), for instance the one the zone picture's x axis runs along. Returns the reason it
 * cannot be used, speaking of a reflection; empty when `h` was set (h6 = 0 for the axial
 * systems).
 */
std::string parseReflectionIndices(std::string_view text, QuasicrystalSystem system,
                                   std::array<int, 6>& h);

/** The parallel part of the direction (x, y, z in angstrom) in the run's basis. */
std::array<double, 3> axisParallelPart(const LatticeBasis& basis, const AxisIndices& axis);

}  // namespace tesral
