#include "report/column_names.h"

namespace tesral {

std::optional<ColumnChoices> columnChoicesNamed(const std::vector<std::string>& names,
                                                std::string& unknown) {
    ColumnChoices choices{.indices = false,
                          .theta = false,
                          .dSpacing = false,
                          .qeQi = false,
                          .xyz = false,
                          .hPerp = false,
                          .intensity = false};
    if (names.size() == 1 && names[0] == "none") return choices;
    for (const std::string& name : names) {
        if (name == "indices")
            choices.indices = true;
        else if (name == "theta")
            choices.theta = true;
        else if (name == "d")
            choices.dSpacing = true;
        else if (name == "qeqi")
            choices.qeQi = true;
        else if (name == "xyz")
            choices.xyz = true;
        else if (name == "hperp")
            choices.hPerp = true;
        else if (name == "intensity")
            choices.intensity = true;
        else if (name == "hkl")
            choices.hkl = true;
        else {
            unknown = name;
            return std::nullopt;
        }
    }
    return choices;
}

}  // namespace tesral
