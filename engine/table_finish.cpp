// The steps after the walk: statistics, projected points and main-spot marks, over blocks
// of rows on all cores.

#include <cmath>
#include <thread>
#include <vector>

#include "engine/large_pages.h"
#include "engine/run_steps.h"
#include "engine/worker_pool.h"

namespace tesral {
namespace {

constexpr std::size_t kSerialRows = 1 << 16;

/** One extreme of a block: the first value that beats every earlier one, if any. */
struct Extreme {
    float value = 0.0f;
    bool found = false;
    template <class Better>
    void offer(float v, Better better) {
        if (!found || better(v, value)) {
            value = v;
            found = true;
        }
    }
};

/** The extremes of one block of rows, in the order of TableStatistics. */
struct BlockExtremes {
    Extreme maxZeroLayerX, maxTheta, maxQi, minPositiveQi, minX, maxX, minY, maxY, minZ, maxZ;
};

const auto kLess = [](float a, float b) { return a < b; };
const auto kGreater = [](float a, float b) { return a > b; };

void finishBlock(ReflectionTable& table, std::size_t begin, std::size_t end, int n,
                 ProjectedPoints& points, BlockExtremes& e) {
    const int last = n - 1;
    for (std::size_t r = begin; r < end; ++r) {
        ReflectionRecord& row = table[r];
        const float x = row.x(), y = row.y(), z = row.z(), qi = row.qi();
        if (row.h(last) == 0.0f) e.maxZeroLayerX.offer(std::fabs(x), kGreater);
        e.maxTheta.offer(row.theta(), kGreater);
        e.maxQi.offer(qi, kGreater);
        if (qi > 0.0f) e.minPositiveQi.offer(qi, kLess);
        e.minX.offer(x, kLess);
        e.maxX.offer(x, kGreater);
        e.minY.offer(y, kLess);
        e.maxY.offer(y, kGreater);
        e.minZ.offer(z, kLess);
        e.maxZ.offer(z, kGreater);
        points[r] = {x, y, z, static_cast<float>(r), 0.0f};
        row.isMainSpot = isMainReflection(row, n);
    }
}

// Taking the blocks in row order with strict comparisons gives what one pass over all rows
// gives, ties between -0 and +0 included.
template <class Better>
void merge(float& into, const Extreme& e, Better better) {
    if (e.found && better(e.value, into)) into = e.value;
}

}  // namespace

void finishTable(ReflectionTable& table, int n, TableStatistics& s, ProjectedPoints& points) {
    points = ProjectedPoints();
    points.reserve(table.size());
    prefaultPages(points.data(), table.size() * sizeof(ProjectedPoint));
    points.resize(table.size());
    const std::size_t rows = table.size();
    const std::size_t blocks = rows < kSerialRows ? 1 : workerCount();
    std::vector<BlockExtremes> extremes(blocks);
    std::vector<std::thread> threads;
    for (std::size_t b = 1; b < blocks; ++b)
        threads.emplace_back([&, b] {
            finishBlock(table, rows * b / blocks, rows * (b + 1) / blocks, n, points, extremes[b]);
        });
    finishBlock(table, 0, rows / blocks, n, points, extremes[0]);
    for (std::thread& t : threads) t.join();
    for (const BlockExtremes& e : extremes) {
        merge(s.maxZeroLayerX, e.maxZeroLayerX, kGreater);
        merge(s.maxTheta, e.maxTheta, kGreater);
        merge(s.maxQi, e.maxQi, kGreater);
        merge(s.minPositiveQi, e.minPositiveQi, kLess);
        merge(s.minX, e.minX, kLess);
        merge(s.maxX, e.maxX, kGreater);
        merge(s.minY, e.minY, kLess);
        merge(s.maxY, e.maxY, kGreater);
        merge(s.minZ, e.minZ, kLess);
        merge(s.maxZ, e.maxZ, kGreater);
    }
}

}  // namespace tesral
