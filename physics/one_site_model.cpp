#include "physics/one_site_model.h"

#include <charconv>
#include <stdexcept>

#include "physics/model_check.h"
#include "physics/model_file_guard.h"

namespace tesral::physics {
namespace {

/** "name:value" split at the colon; the value is empty without one. */
struct Shortcut {
    std::string name;
    std::string value;
    bool hasValue = false;
};

Shortcut splitShortcut(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return {text, {}, false};
    return {text.substr(0, colon), text.substr(colon + 1), true};
}

double numberOf(const std::string& text, const std::string& what) {
    double v = 0.0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, v);
    if (text.empty() || result.ec != std::errc() || result.ptr != end)
        throw std::invalid_argument(what + " '" + echoed(text) + "' is not a number");
    return v;
}

OccupationDomain domainOf(const std::string& text) {
    const Shortcut shortcut = splitShortcut(text);
    OccupationDomain d;
    if (shortcut.name == "sphere" || shortcut.name == "disc") {
        if (!shortcut.hasValue)
            throw std::invalid_argument("domain '" + echoed(text) + "' needs a radius, as '" +
                                        shortcut.name + ":5'");
        d.shape = shortcut.name == "sphere" ? DomainShape::Sphere : DomainShape::Disc;
        d.radius = numberOf(shortcut.value, "the " + shortcut.name + " radius");
    } else if (shortcut.name == "window") {
        d.shape = DomainShape::Window;
        if (shortcut.hasValue) d.scale = numberOf(shortcut.value, "the window scale");
    } else {
        throw std::invalid_argument("domain '" + echoed(text) +
                                    "' is unknown; use 'sphere:R', 'disc:R' or 'window'");
    }
    return d;
}

Radiation radiationOf(const std::string& text) {
    const Shortcut shortcut = splitShortcut(text);
    Radiation r;
    if (shortcut.name == "xray" && !shortcut.hasValue) {
        r.kind = RadiationKind::XRay;
    } else if (shortcut.name == "electron") {
        r.kind = RadiationKind::Electron;
        if (shortcut.hasValue) r.kilovolts = numberOf(shortcut.value, "the electron voltage");
    } else if (shortcut.name == "neutron") {
        r.kind = RadiationKind::Neutron;
        if (shortcut.hasValue) r.wavelength = numberOf(shortcut.value, "the neutron wavelength");
    } else {
        throw std::invalid_argument("radiation '" + echoed(text) +
                                    "' is unknown; use 'xray', 'electron:kV' or "
                                    "'neutron:wavelength'");
    }
    return r;
}

}  // namespace

StructureModel oneSiteModel(QuasicrystalSystem system, const std::string& domain,
                            const std::string& element, const std::string& radiation,
                            double bParallel, double bPerpendicular) {
    StructureModel model;
    model.name = element + " " + domain;
    model.radiation = radiationOf(radiation);
    if (FieldProblem p = radiationProblem(model.radiation)) throw std::invalid_argument(p.what);
    Site site;
    site.element = element;
    site.position.assign(static_cast<std::size_t>(indexDimensionOf(system)), 0.0);
    site.domain = domainOf(domain);
    site.bParallel = bParallel;
    site.bPerpendicular = bPerpendicular;
    if (FieldProblem p = siteProblem(site, model.radiation.kind, system))
        throw std::invalid_argument(p.what);
    model.sites.push_back(std::move(site));
    return model;
}

}  // namespace tesral::physics
