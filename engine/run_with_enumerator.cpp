#include "engine/run_with_enumerator.h"

#include <new>
#include <utility>

namespace tesral {

RunResult runPrepared(const PreparedRun& run, const TableStatistics& previous,
                      const ProgressCallback& progress) {
    return runPreparedWith(run, previous, progress, enumerateFast);
}

RunResult resultWithoutRows(const PreparedRun& run) {
    RunResult result;
    result.header = run.header;
    result.groupStatusText = run.groupStatusText;
    result.message = run.message;
    if (!run.ready()) return result;
    result.parameters = run.parameters;
    result.basis = run.basis;
    result.indexDimension = run.indexDimension;
    result.totalLoops = run.totalLoops;
    return result;
}

RunResult runPreparedWith(const PreparedRun& run, const TableStatistics& previous,
                          const ProgressCallback& progress, Enumerator enumerate) {
    RunResult result = resultWithoutRows(run);
    if (!run.ready()) return result;
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
