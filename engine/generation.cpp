#include "generation.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/approximant_cell.h"
#include "engine/index_region.h"

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

PreparedRun prepareRun(const RunParameters& parameters, RunHeader header) {
    PreparedRun run;
    run.header = std::move(header);
    run.parameters = parameters;
    const RunParameters& p = run.parameters;
    if (p.groupNumber < 1) {
        run.message = "There is no such group for this system.";
        return run;
    }
    run.group = {p.groupNumber, p.groupSymbol, p.groupCodes};
    run.groupStatusText = run.group.statusText();
    run.message = latticeConstantProblem(p.system, p.a, p.c);
    if (!run.message.empty()) return run;
    for (int i = 0; i < indexDimensionOf(p.system); ++i)
        if (p.loopLimit[i] < -32768 || p.loopLimit[i] > 32767) {
            run.message = kLoopLimitMessage;
            return run;
        }

    auto basis = buildLatticeBasis(p.system, p.a, p.c, p.convention);
    if (!basis) {
        run.message = kLatticeConstantsMessage;
        return run;
    }
    if (p.phasonStrain) {
        const PhasonStrain& m = *p.phasonStrain;
        bool finite = true;
        for (int i = 0; i < m.size * m.size; ++i)
            finite = finite && std::isfinite(m.values[static_cast<std::size_t>(i)]);
        if (m.size != phasonStrainSize(p.system) || !finite) {
            run.message = phasonStrainMessage(p.system);
            return run;
        }
        run.header.strainText =
            p.approximant
                ? approximantCellText(
                      *p.approximant,
                      centredApproximantCell(*basis, *p.approximant, groupCentring(p.groupNumber)))
                : phasonStrainText(m);
        applyPhasonStrain(*basis, m);
    }
    run.basis = std::move(*basis);
    run.indexDimension = run.basis.n;
    run.totalLoops = boxSize(p.loopLimit, run.indexDimension);
    run.rowBound = candidateBound(boundIndexRegion(GeometryContext(run.basis, p), p.loopLimit));
    return run;
}

PreparedRun prepareRun(const RunInputs& inputs) {
    PreparedRun run;
    std::string error;
    const auto parameters = readRunParameters(inputs, error);
    if (!parameters) {
        run.header = buildRunHeader(inputs);
        if (selectGroup(inputs.system, inputs.groupPosition, run.group))
            run.groupStatusText = run.group.statusText();
        run.message = error;
        return run;
    }
    return prepareRun(*parameters, buildRunHeader(inputs));
}

RunResult runGeneration(const RunInputs& inputs, const TableStatistics& previous,
                        const ProgressCallback& progress) {
    return runPrepared(prepareRun(inputs), previous, progress);
}

}  // namespace tesral
