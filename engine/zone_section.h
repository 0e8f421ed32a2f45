#pragma once

// The section of a run's reflections by the plane through the origin perpendicular to a
// zone axis, with the near-zone reflections of a thin slab around it.

#include <array>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "engine/generation.h"
#include "engine/zone_axis.h"

namespace tesral {

struct ZoneRequest {
    AxisIndices axis{};
    /** Half-thickness of the slab (1/angstrom) whose reflections are kept as near-zone. */
    double slab = 0.0;
    /** A reflection whose in-plane part sets the plane's x; none: the shortest member. */
    std::optional<AxisIndices> reference;
    /** Ends the walk early when set (the section is then cancelled); may be null. */
    const std::atomic<bool>* stop = nullptr;
};

/** Where one row of the section lies in its plane. */
struct ZoneSpot {
    double u = 0.0;  // along the plane's x direction, 1/angstrom
    double v = 0.0;  // along its y direction, 1/angstrom
    /** H|| . u-hat (1/angstrom): exactly 0 in the section, at most the slab near it. */
    double offset = 0.0;
    bool nearZone = false;
};

struct ZoneSection {
    /** The rows in run order, as a run with the same inputs would give them. */
    RunResult run;
    /** One per row of run.table. */
    std::vector<ZoneSpot> spots;
    /** Unit vectors in parallel space (x, y, z): the axis and the plane's x and y. */
    std::array<double, 3> axis{}, planeX{}, planeY{};
    /** Rank of the section's lattice: n - 2, or n - 1 along a rational direction (of the
     * unstrained lattice; a phason strain leaves fewer vectors in the plane). */
    int rank = 0;
};

/**
 * The section of a prepared run along `request.axis`. The θ window, qi max, loop limits and
 * the group's conditions apply as in the run; the axis is read as valid (see
 * parseZoneAxis). The plane's x runs along the reference reflection's in-plane part, or
 * along the shortest reflection of the section.
 */
ZoneSection computeZoneSection(const PreparedRun& run, const ZoneRequest& request);

/** The message of a section stopped before its walk ended. */
inline const std::string kSectionCancelledMessage = "The section was cancelled.";

/** The message of a reference reflection with no part in the plane. */
inline const std::string kReferenceAlongAxisMessage =
    "The x direction given lies along the zone axis; give a reflection with a part in the "
    "plane.";

/** The message of an axis whose integer reduction would overflow. */
inline const std::string kAxisTooLargeMessage =
    "The zone axis indices are too large for an exact section; use smaller indices.";

}  // namespace tesral
