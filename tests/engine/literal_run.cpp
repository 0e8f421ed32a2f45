#include "literal_run.h"

#include <cstdint>

namespace tesral {

EnumerationEnd enumerateLiteral(const RunContext& ctx, ReflectionTable& table,
                                const ProgressCallback& progress) {
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
                                if (e.accepted && keepReflection(h, e, ctx, row))
                                    table.push_back(row);
                            }
                            ++visited;
                            if (visited % 100 == 0 && progress &&
                                !progress(static_cast<double>(visited) / total))
                                return EnumerationEnd::Cancelled;
                        }
    return EnumerationEnd::Done;
}

}  // namespace tesral
