#include "generation.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/index_region.h"

#include "engine/run_steps.h"

namespace tesral {

std::string boxCountText(BoxCount value) {
    if (value == 0) return "0";
    std::string digits;
    while (value > 0) {
        digits += static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    }
    std::reverse(digits.begin(), digits.end());
    return digits;
}

bool isMainReflection(const ReflectionRecord& row, int n) {
    int zeros = 0;
    int large = 0;
    for (int i = 0; i < n; ++i) {
        if (row.h(i) == 0.0f) ++zeros;
        if (std::fabs(row.h(i)) > 1.0f) ++large;
    }
    if (zeros == n - 1 && large == 0) return true;
    return n == 5 && row.h(4) == 0.0f && large == 0 && row.h(0) == row.h(1) &&
           row.h(1) == row.h(2) && row.h(2) == row.h(3);
}

std::string loopsStatusText(BoxCount totalLoops) {
    return "of " + boxCountText(totalLoops == 0 ? 0 : totalLoops - 1) + " loops";
}

BoxCount boxSize(const std::array<int, 6>& limits, int n) {
    BoxCount total = 1;
    for (int i = 0; i < n; ++i) {
        if (limits[i] < 0) return 0;
        total *= static_cast<BoxCount>(2 * limits[i] + 1);
    }
    return total;
}

PreparedRun prepareRun(const RunInputs& inputs) {
    PreparedRun run;
    run.header = buildRunHeader(inputs);
    if (selectGroup(inputs.system, inputs.groupPosition, run.group))
        run.groupStatusText = run.group.statusText();

    const auto parameters = readRunParameters(inputs, run.message);
    if (!parameters) return run;
    run.parameters = *parameters;
    const RunParameters& p = run.parameters;

    auto basis = buildLatticeBasis(p.system, p.a, p.c, p.convention);
    if (!basis) {
        run.message = kLatticeConstantsMessage;
        return run;
    }
    run.basis = std::move(*basis);
    run.indexDimension = run.basis.n;
    run.totalLoops = boxSize(p.loopLimit, run.indexDimension);
    run.rowBound = candidateBound(boundIndexRegion(GeometryContext(run.basis, p), p.loopLimit));
    return run;
}

RunResult runPrepared(const PreparedRun& run, const TableStatistics& previous,
                      const ProgressCallback& progress) {
    return runPreparedWith(run, previous, progress, enumerateFast);
}

RunResult runGeneration(const RunInputs& inputs, const TableStatistics& previous,
                        const ProgressCallback& progress) {
    return runPrepared(prepareRun(inputs), previous, progress);
}

RunResult runPreparedWith(const PreparedRun& run, const TableStatistics& previous,
                          const ProgressCallback& progress, Enumerator enumerate) {
    RunResult result;
    result.header = run.header;
    result.groupStatusText = run.groupStatusText;
    result.message = run.message;
    if (!run.ready()) return result;
    result.parameters = run.parameters;
    result.basis = run.basis;
    result.indexDimension = run.indexDimension;
    result.totalLoops = run.totalLoops;
    const RunParameters& p = result.parameters;

    try {
        const RunContext ctx{result.basis,
                             GeometryContext(result.basis, p),
                             ExtinctionRules(run.group, run.indexDimension),
                             run.indexDimension,
                             p.loopLimit,
                             result.totalLoops};
        TableStatistics stats = previous;
        stats.maxZeroLayerX = 0.0f;
        stats.maxTheta = 0.0f;
        stats.maxQi = 0.0f;
        stats.minPositiveQi = 10.0f;
        ReflectionTable table;
        switch (enumerate(ctx, table, stats, progress)) {
            case EnumerationEnd::Cancelled:
                result.status = RunStatus::Cancelled;
                return result;
            case EnumerationEnd::InvalidNumber:
                result.message = kInvalidNumberMessage;
                return result;
            case EnumerationEnd::Done:
                break;
        }
        result.statistics = stats;
        result.table = std::move(table);
    } catch (const std::bad_alloc&) {
        result.message = kNotEnoughMemoryMessage;
        return result;
    }
    result.status = RunStatus::Completed;
    return result;
}

}  // namespace tesral
