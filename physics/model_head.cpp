#include "physics/model_head.h"

#include "physics/calculation.h"

namespace tesral::physics {

std::string modelHeadLine(const StructureModel& model, double xrayWavelength) {
    const std::string name = model.name.empty() ? "unnamed" : model.name;
    return "model: " + name + " (" + std::to_string(model.sites.size()) +
           (model.sites.size() == 1 ? " site, " : " sites, ") +
           radiationText(model.radiation, wavelengthFor(model.radiation, xrayWavelength)) + ")";
}

}  // namespace tesral::physics
