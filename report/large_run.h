#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/box_count.h"
#include "engine/generation.h"
#include "engine/projected_points.h"
#include "report/report_writer.h"

namespace tesral {

/**
 * Runs that may keep more rows than this are asked about first by the window and refused by
 * tesral-cli unless --max-rows says otherwise: about 3 GB while the run works.
 */
inline constexpr BoxCount kLargeRunRows = 50'000'000;

/** Bytes one kept row costs while it is shown: the engine's row and the 3D plot's point. */
inline constexpr std::size_t kBytesPerShownRow = kEngineBytesPerRow + sizeof(ProjectedPoint);

/** What a run may need at most. */
struct RunNeeds {
    BoxCount rows = 0;
    BoxCount memoryBytes = 0;
    BoxCount diskBytes = 0;  // its list file's rows
};

/** The needs of a run of up to `rowBound` rows whose list file has `options`' columns. */
RunNeeds runNeeds(BoxCount rowBound, const ReportOptions& options);

/**
 * Worth asking before it starts: more rows than `askAbove`, or more memory or disk than is
 * free. Free space that is not known does not count.
 */
bool isLargeRun(const RunNeeds& needs, std::optional<std::uint64_t> freeMemory,
                std::optional<std::uint64_t> freeDisk, BoxCount askAbove = kLargeRunRows);

}  // namespace tesral
