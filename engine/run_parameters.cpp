#include "run_parameters.h"

#include "engine/groups.h"
#include "engine/number_reader.h"

namespace tesral {

RunHeader buildRunHeader(const RunInputs& inputs) {
    RunHeader header;
    SelectedGroup group;
    if (selectGroup(inputs.system, inputs.groupPosition, group)) header.groupText = group.symbol;

    const bool icosahedral = inputs.system == QuasicrystalSystem::Icosahedral;
    std::string lattice = "a = " + inputs.a;
    if (!icosahedral) lattice += ", c = " + inputs.c;
    lattice += ", loop = ";
    for (int i = 0; i < indexDimensionOf(inputs.system); ++i) lattice += inputs.loopLimits[i];
    lattice += inputs.convention == MatrixConvention::Yamamoto ? ", Yamamoto matrices"
                                                               : ", Steurer matrices ";
    header.latticeText = lattice;
    header.limitsText = "wavelength = " + inputs.wavelength + ", thmin = " + inputs.thetaMin +
                        ", thmax = " + inputs.thetaMax + ", qimax = " + inputs.qiMax;
    return header;
}

std::optional<RunParameters> readRunParameters(const RunInputs& inputs, std::string& error) {
    RunParameters p;
    p.system = inputs.system;
    SelectedGroup group;
    if (!selectGroup(inputs.system, inputs.groupPosition, group)) {
        error = "There is no such group for this system.";
        return std::nullopt;
    }
    p.groupNumber = group.number;
    p.groupCodes = group.codes;
    p.groupSymbol = group.symbol;
    p.thetaMin = readNumber(inputs.thetaMin);
    p.thetaMax = readNumber(inputs.thetaMax);
    p.qiMax = readNumber(inputs.qiMax);
    p.wavelength = readNumber(inputs.wavelength);
    p.a = readNumber(inputs.a);
    p.c = readNumber(inputs.c);
    p.convention = inputs.convention;
    const int n = indexDimensionOf(inputs.system);
    for (int i = 0; i < n; ++i) {
        const auto limit = readLoopLimit(inputs.loopLimits[i]);
        if (!limit) {
            error = kLoopLimitMessage;
            return std::nullopt;
        }
        p.loopLimit[i] = *limit;
    }
    return p;
}

}  // namespace tesral
