#include "generation.h"

#include <algorithm>
#include <cmath>

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

RunResult runGeneration(const RunInputs& inputs, const TableStatistics& previous,
                        const ProgressCallback& progress) {
    return runGenerationWith(inputs, previous, progress, enumerateFast);
}

RunResult runGenerationWith(const RunInputs& inputs, const TableStatistics& previous,
                            const ProgressCallback& progress, Enumerator enumerate) {
    RunResult result;
    result.header = buildRunHeader(inputs);
    SelectedGroup group;
    if (selectGroup(inputs.system, inputs.groupPosition, group))
        result.groupStatusText = group.statusText();

    std::string error;
    const auto parameters = readRunParameters(inputs, error);
    if (!parameters) {
        result.message = error;
        return result;
    }
    result.parameters = *parameters;
    const RunParameters& p = result.parameters;

    auto basis = buildLatticeBasis(p.system, p.a, p.c, p.convention);
    if (!basis) {
        result.message = kLatticeConstantsMessage;
        return result;
    }
    result.basis = std::move(*basis);
    const int n = result.basis.n;
    result.indexDimension = n;
    result.totalLoops = boxSize(p.loopLimit, n);

    const RunContext ctx{result.basis,
                         GeometryContext(result.basis, p),
                         ExtinctionRules(group, n),
                         n,
                         p.loopLimit,
                         result.totalLoops};
    ReflectionTable table;
    TableStatistics stats = previous;
    stats.maxZeroLayerX = 0.0f;
    stats.maxTheta = 0.0f;
    stats.maxQi = 0.0f;
    stats.minPositiveQi = 10.0f;
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
    result.status = RunStatus::Completed;
    return result;
}

}  // namespace tesral
