#pragma once

#include <array>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "engine/unfilled_allocator.h"

namespace tesral {

/** Element numbers of the 14 single-precision values of a reflection row. */
enum Element : int {
    kH1 = 0,     // h1..h6 are elements 0..5
    kTheta = 6,  // Bragg angle, degrees
    kD = 7,      // d-spacing, angstrom (1/qe)
    kQe = 8,     // parallel length, 1/angstrom, no factor 2 pi
    kQi = 9,     // perpendicular length, 1/angstrom
    kX = 10,     // parallel-space coordinates, 1/angstrom
    kY = 11,
    kZ = 12,
    kIntensity = 13,  // relative intensity, 100 = the strongest row; 0 without a model
    kElementCount = 14,
};

/** Where a row's in-plane direction lies, in the axial systems. */
enum class DirectionClass : std::uint8_t {
    Other = 0,        // elsewhere, and always in the icosahedral system
    AlongMain = 1,    // along a main direction
    BetweenMain = 2,  // halfway between two main directions
};

/** One reflection, stored in single precision. */
struct ReflectionRecord {
    std::array<float, kElementCount> v{};
    DirectionClass directionClass = DirectionClass::Other;
    bool isMainSpot = false;

    float h(int i) const { return v[kH1 + i]; }  // i = 0..5
    float theta() const { return v[kTheta]; }
    float d() const { return v[kD]; }
    float qe() const { return v[kQe]; }
    float qi() const { return v[kQi]; }
    float x() const { return v[kX]; }
    float y() const { return v[kY]; }
    float z() const { return v[kZ]; }
};

static_assert(std::is_trivially_copyable_v<ReflectionRecord>);
// The class and the main-spot flag share the room of one float.
static_assert(sizeof(ReflectionRecord) == sizeof(float) * (kElementCount + 1));

/** Rows in the order they were found; reflectionCount is its size. */
using ReflectionTable = std::vector<ReflectionRecord, UnfilledAllocator<ReflectionRecord>>;

/** Extremes of the kept reflections, read by the plots. */
struct TableStatistics {
    float maxZeroLayerX = 0.0f;  // largest |x| with the last index 0
    float maxTheta = 0.0f;
    float maxQi = 0.0f;
    float minPositiveQi = 10.0f;
    // The coordinate extremes only ever widen over all runs of a session.
    float minX = 0.0f, maxX = 0.0f;
    float minY = 0.0f, maxY = 0.0f;
    float minZ = 0.0f, maxZ = 0.0f;
};

/**
 * One spot of the 3D plot's working copy: its coordinates (depth, horizontal, vertical),
 * initially (x, y, z), which rotation turns in place, and the table row it shows.
 */
struct ProjectedPoint {
    std::array<float, 3> c{};
    /** Whole row numbers: a float would merge neighbouring rows above 2^24. */
    std::uint32_t row = 0;

    float& operator[](int i) { return c[static_cast<std::size_t>(i)]; }
    float operator[](int i) const { return c[static_cast<std::size_t>(i)]; }
    bool operator==(const ProjectedPoint&) const = default;
};
using ProjectedPoints = std::vector<ProjectedPoint, UnfilledAllocator<ProjectedPoint>>;

}  // namespace tesral
