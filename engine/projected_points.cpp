#include <thread>
#include <vector>

#include "engine/projected_points.h"

#include "engine/large_pages.h"
#include "engine/run_steps.h"
#include "engine/worker_pool.h"

namespace tesral {

ProjectedPoints projectedPointsOf(const ReflectionTable& table) {
    constexpr std::size_t kSerialRows = 1 << 16;
    const std::size_t rows = table.size();
    ProjectedPoints points;
    points.reserve(rows);
    prefaultPages(points.data(), rows * sizeof(ProjectedPoint));
    points.resize(rows);
    const auto fill = [&table, &points](std::size_t begin, std::size_t end) {
        for (std::size_t r = begin; r < end; ++r) {
            const ReflectionRecord& row = table[r];
            points[r] = {{row.x(), row.y(), row.z()}, static_cast<std::uint32_t>(r)};
        }
    };
    const std::size_t parts = rows < kSerialRows ? 1 : workerCount();
    std::vector<std::thread> threads;
    for (std::size_t p = 1; p < parts; ++p)
        threads.emplace_back(fill, rows * p / parts, rows * (p + 1) / parts);
    fill(0, rows / parts);
    for (std::thread& t : threads) t.join();
    return points;
}

}  // namespace tesral
