#include "run_parameters.h"

#include <cmath>

#include "engine/groups.h"
#include "engine/number_reader.h"

namespace tesral {

namespace {

/** Why one lattice constant cannot be used, naming it (`name` is "a" or "c"); else empty. */
std::string latticeConstantProblem(double value, const char* name) {
    if (std::isinf(value)) return std::string("The lattice constant ") + name + " is too large.";
    if (value < 0.0)
        return std::string("The lattice constant ") + name +
               " must be positive; a negative value would mirror the pattern.";
    return std::string();
}

}  // namespace

std::string phasonStrainMessage(QuasicrystalSystem system) {
    return phasonStrainSize(system) == 3
               ? "The phason strain of an icosahedral run is a 3 x 3 matrix of 9 finite numbers."
               : "The phason strain of an axial run is the in-plane 2 x 2 matrix of 4 finite "
                 "numbers.";
}

std::optional<PhasonStrain> readPhasonStrain(const std::string& text, QuasicrystalSystem system) {
    PhasonStrain m;
    m.size = phasonStrainSize(system);
    const std::size_t count = static_cast<std::size_t>(m.size * m.size);
    std::size_t found = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        std::string item = text.substr(start, end - start);
        const auto first = item.find_first_not_of(" \t");
        const auto last = item.find_last_not_of(" \t");
        item = first == std::string::npos ? std::string() : item.substr(first, last - first + 1);
        if (found == count || !isNumberText(item)) return std::nullopt;
        const double v = readNumber(item);
        if (!std::isfinite(v)) return std::nullopt;
        m.values[found++] = v;
        start = end + 1;
    }
    if (found != count) return std::nullopt;
    return m;
}

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
    error = latticeConstantProblem(p.system, p.a, p.c);
    if (!error.empty()) return std::nullopt;
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
    if (!inputs.phasonStrain.empty()) {
        p.phasonStrain = readPhasonStrain(inputs.phasonStrain, inputs.system);
        if (!p.phasonStrain) {
            error = phasonStrainMessage(inputs.system);
            return std::nullopt;
        }
    }
    if (!inputs.approximant.empty()) {
        if (p.phasonStrain) {
            error = kApproximantWithStrainMessage;
            return std::nullopt;
        }
        p.approximant = parseApproximant(inputs.approximant, inputs.system, error);
        if (!p.approximant) return std::nullopt;
        const auto basis = buildLatticeBasis(p.system, p.a, p.c, p.convention);
        if (!basis) {
            error = kLatticeConstantsMessage;
            return std::nullopt;
        }
        p.phasonStrain = approximantStrain(*basis, *p.approximant);
    }
    return p;
}

std::string latticeConstantProblem(QuasicrystalSystem system, double a, double c) {
    std::string problem = latticeConstantProblem(a, "a");
    if (problem.empty() && system != QuasicrystalSystem::Icosahedral)
        problem = latticeConstantProblem(c, "c");
    return problem;
}

std::vector<std::string> emptyRunReasons(const RunInputs& inputs) {
    std::vector<std::string> reasons;
    const auto check = [&reasons](const std::string& name, const std::string& text) {
        if (!isNumberText(text)) reasons.push_back(name + " '" + text + "' is not a number");
    };
    const bool icosahedral = inputs.system == QuasicrystalSystem::Icosahedral;
    const int n = indexDimensionOf(inputs.system);
    check("the lattice constant a", inputs.a);
    if (!icosahedral) check("the lattice constant c", inputs.c);
    for (int i = 0; i < n; ++i)
        check("the loop limit h" + std::to_string(i + 1), inputs.loopLimits[i]);
    check("theta min", inputs.thetaMin);
    check("theta max", inputs.thetaMax);
    check("qi max", inputs.qiMax);
    check("the wavelength", inputs.wavelength);
    if (readNumber(inputs.thetaMax) < readNumber(inputs.thetaMin))
        reasons.emplace_back("theta max is below theta min");
    for (int i = 0; i < n; ++i) {
        const auto limit = readLoopLimit(inputs.loopLimits[i]);
        if (limit && *limit < 0) {
            reasons.emplace_back("a loop limit is negative");
            break;
        }
    }
    return reasons;
}

std::string joinReasons(const std::vector<std::string>& reasons) {
    std::string line;
    for (const std::string& reason : reasons) line += (line.empty() ? "" : "; ") + reason;
    return line;
}

}  // namespace tesral
