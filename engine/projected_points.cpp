#include "engine/projected_points.h"

#include <algorithm>

#include "engine/fan_out.h"
#include "engine/large_pages.h"
#include "engine/worker_pool.h"

namespace tesral {

ProjectedPoints projectedPointsOf(const ReflectionTable& table, const std::atomic<bool>* stop) {
    constexpr std::size_t kSerialRows = 1 << 16;
    // Rows between looks at `stop`: well under a millisecond, pages mapped included.
    constexpr std::size_t kChunkRows = 1 << 16;
    const std::size_t rows = table.size();
    ProjectedPoints points;
    resizeUnfilled(points, rows);  // first touched by the workers below
    std::atomic<bool> stopped{false};
    const auto stopRequested = [&] {
        return stopped.load(std::memory_order_relaxed) ||
               (stop && stop->load(std::memory_order_relaxed));
    };
    const std::size_t parts = rows < kSerialRows ? 1 : workerCount();
    const auto fill = [&](std::size_t part) {
        const std::size_t end = rows * (part + 1) / parts;
        for (std::size_t begin = rows * part / parts; begin < end && !stopRequested();
             begin += kChunkRows) {
            const std::size_t chunkEnd = std::min(end, begin + kChunkRows);
            prefaultPages(points.data() + begin, (chunkEnd - begin) * sizeof(ProjectedPoint));
            for (std::size_t r = begin; r < chunkEnd; ++r) {
                const ReflectionRecord& row = table[r];
                points[r] = {{row.x(), row.y(), row.z()}, static_cast<std::uint32_t>(r)};
            }
        }
    };
    fanOut(
        parts - 1, [&](std::size_t part) { fill(part + 1); }, [&] { fill(0); },
        [&] { stopped = true; });
    if (stopRequested()) return ProjectedPoints();
    return points;
}

}  // namespace tesral
