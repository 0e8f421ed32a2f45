#pragma once

#include <array>
#include <optional>
#include <string>

#include "matrix.h"

namespace tesral {

/** The quasicrystal system; the value is the system code used throughout (1..4). */
enum class QuasicrystalSystem : short {
    Octagonal = 1,
    Decagonal = 2,
    Dodecagonal = 3,
    Icosahedral = 4,
};

inline short systemCode(QuasicrystalSystem s) {
    return static_cast<short>(s);
}
/** "octagonal", "decagonal", "dodecagonal" or "icosahedral". */
const char* systemName(QuasicrystalSystem system);

/** 5 indices for the axial systems, 6 for the icosahedral one. */
inline int indexDimensionOf(QuasicrystalSystem s) {
    return s == QuasicrystalSystem::Icosahedral ? 6 : 5;
}

/** Which published basis convention the matrices follow. */
enum class MatrixConvention { Yamamoto, Steurer };

/**
 * The higher-dimensional lattice. Rows of `direct` are the direct basis vectors, columns of
 * `inverse` the reciprocal ones (no factor 2 pi). Component order of a projected vector:
 * axial (par x, par y, perp x, perp y, par z); icosahedral (par x, y, z, perp x, y, z).
 */
struct LatticeBasis {
    int n = 0;
    Matrix direct;
    Matrix inverse;
    /** Unit vector along the in-plane parallel part of d*_1 (axial systems; else zero). */
    std::array<double, 2> referenceDirection{0.0, 0.0};
    /** Angle between main directions and its half (degrees); zero for icosahedral. */
    float symmetryAngle = 0.0f;
    float halfSymmetryAngle = 0.0f;
};

inline const std::string kLatticeConstantsMessage =
    "The lattice constants a and c must be non-zero numbers.";

/**
 * Builds the basis for a and c in angstrom. Returns nothing when a (or, for the axial
 * systems, c) is zero or not finite, or when the basis cannot be inverted; the caller
 * reports kLatticeConstantsMessage. c is ignored for the icosahedral system.
 */
std::optional<LatticeBasis> buildLatticeBasis(QuasicrystalSystem system, double a, double c,
                                              MatrixConvention convention);

}  // namespace tesral
