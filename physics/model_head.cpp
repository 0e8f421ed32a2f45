#include "physics/model_head.h"

#include <cstdio>

namespace tesral::physics {

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

std::string modelHeadLine(const StructureModel& model, double xrayWavelength) {
    std::string radiation;
    switch (model.radiation.kind) {
        case RadiationKind::XRay:
            radiation = "X-rays, " + number(xrayWavelength) + " A";
            break;
        case RadiationKind::Electron:
            radiation = "electrons, " + number(model.radiation.kilovolts) + " kV";
            break;
        case RadiationKind::Neutron:
            radiation = "neutrons, " + number(model.radiation.wavelength) + " A";
            break;
    }
    const std::string name = model.name.empty() ? "unnamed" : model.name;
    return "model: " + name + " (" + std::to_string(model.sites.size()) +
           (model.sites.size() == 1 ? " site, " : " sites, ") + radiation + ")";
}

}  // namespace tesral::physics
