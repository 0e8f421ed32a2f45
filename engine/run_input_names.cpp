#include "engine/run_input_names.h"

#include "engine/groups.h"
#include "engine/wavelength.h"

namespace tesral {

std::optional<QuasicrystalSystem> systemNamed(std::string_view name) {
    if (name == "octagonal") return QuasicrystalSystem::Octagonal;
    if (name == "decagonal") return QuasicrystalSystem::Decagonal;
    if (name == "dodecagonal") return QuasicrystalSystem::Dodecagonal;
    if (name == "icosahedral") return QuasicrystalSystem::Icosahedral;
    return std::nullopt;
}

std::optional<MatrixConvention> conventionNamed(std::string_view name) {
    if (name == "yamamoto") return MatrixConvention::Yamamoto;
    if (name == "steurer") return MatrixConvention::Steurer;
    return std::nullopt;
}

std::optional<int> groupPositionNamed(QuasicrystalSystem system, std::string_view symbol) {
    const auto groups = groupsOfSystem(system);
    for (std::size_t i = 0; i < groups.size(); ++i)
        if (groups[i].symbol == symbol) return static_cast<int>(i);
    return std::nullopt;
}

std::optional<std::string> anodeWavelengthText(std::string_view anode) {
    for (std::size_t i = 0; i < anodeTable().size(); ++i)
        if (anodeTable()[i].name == anode)
            return wavelengthText(meanWavelength(static_cast<int>(i)));
    return std::nullopt;
}

int phasonStrainElementCount(QuasicrystalSystem system) {
    return system == QuasicrystalSystem::Icosahedral ? 9 : 4;
}

std::string approximantUsage(QuasicrystalSystem system) {
    return system == QuasicrystalSystem::Icosahedral
               ? "--approximant takes a ratio of consecutive Fibonacci numbers for this system: "
                 "1/1, 2/1, 3/2, 5/3, 8/5, ..."
               : "--approximant takes P/Q or P/Q,R/S for this system (positive whole numbers, "
                 "the ratios along the two in-plane axes)";
}

}  // namespace tesral
