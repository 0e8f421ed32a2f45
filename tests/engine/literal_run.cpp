#include "literal_run.h"

#include <cmath>
#include <cstdint>

namespace tesral {

namespace {

void widen(TableStatistics& s, const ReflectionRecord& r, int n) {
    const float x = r.x(), y = r.y(), z = r.z(), qi = r.qi(), theta = r.theta();
    if (r.h(n - 1) == 0.0f && std::fabs(x) > s.maxZeroLayerX) s.maxZeroLayerX = std::fabs(x);
    if (theta > s.maxTheta) s.maxTheta = theta;
    if (qi > s.maxQi) s.maxQi = qi;
    if (qi > 0.0f && qi < s.minPositiveQi) s.minPositiveQi = qi;
    if (x < s.minX) s.minX = x;
    if (x > s.maxX) s.maxX = x;
    if (y < s.minY) s.minY = y;
    if (y > s.maxY) s.maxY = y;
    if (z < s.minZ) s.minZ = z;
    if (z > s.maxZ) s.maxZ = z;
}

}  // namespace

EnumerationEnd enumerateLiteral(const RunContext& ctx, ReflectionTable& table,
                                TableStatistics& stats, const ProgressCallback& progress) {
    const auto& L = ctx.limits;
    const double total = static_cast<double>(ctx.totalLoops);
    table.reserve(10001);
    std::uint64_t visited = 0;
    ReflectionRecord row;
    int h[6];
    for (h[0] = L[0]; h[0] >= -L[0]; --h[0])
        for (h[1] = L[1]; h[1] >= -L[1]; --h[1])
            for (h[2] = L[2]; h[2] >= -L[2]; --h[2])
                for (h[3] = L[3]; h[3] >= -L[3]; --h[3])
                    for (h[4] = L[4]; h[4] >= -L[4]; --h[4])
                        for (h[5] = L[5]; h[5] >= -L[5]; --h[5]) {
                            const bool origin = h[0] == 0 && h[1] == 0 && h[2] == 0 && h[3] == 0 &&
                                                h[4] == 0 && h[5] == 0;
                            if (!origin) {
                                const Evaluation e = evaluateIndexVector(h, ctx.geometry);
                                if (!e.finite) return EnumerationEnd::InvalidNumber;
                                if (e.accepted && keepReflection(h, e, ctx, row)) {
                                    widen(stats, row, ctx.n);
                                    table.push_back(row);
                                }
                            }
                            ++visited;
                            if (visited % 100 == 0 && progress &&
                                !progress(static_cast<double>(visited) / total))
                                return EnumerationEnd::Cancelled;
                        }
    for (ReflectionRecord& r : table) r.isMainSpot = isMainReflection(r, ctx.n);
    return EnumerationEnd::Done;
}

}  // namespace tesral
