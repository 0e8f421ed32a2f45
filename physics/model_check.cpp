#include "physics/model_check.h"

#include <cmath>
#include <sstream>

#include "physics/model_file_guard.h"
#include "physics/model_file_names.h"
#include "physics/scattering_factor.h"

namespace tesral::physics {
namespace {

std::string numberText(double v) {
    std::ostringstream out;
    out << v;
    return out.str();
}

FieldProblem notPositive(const char* field, double v) {
    if (std::isfinite(v) && v > 0.0) return {};
    return {field, std::string(field) + " must be greater than 0, not " + numberText(v)};
}

FieldProblem negative(const char* field, double v) {
    if (std::isfinite(v) && v >= 0.0) return {};
    return {field,
            std::string(field) + " must be a finite number of 0 or more, not " + numberText(v)};
}

/** Values beyond what a model means would overflow the sums into NaN. */
FieldProblem above(const char* field, double v, double largest, const char* unit) {
    if (v <= largest) return {};
    return {field, std::string(field) + " must be at most " + numberText(largest) + unit +
                       ", not " + numberText(v)};
}

FieldProblem outside(const char* field, double v, double smallest, double largest,
                     const char* unit) {
    if (FieldProblem p = notPositive(field, v)) return p;
    if (v < smallest)
        return {field, std::string(field) + " must be at least " + numberText(smallest) + unit +
                           ", not " + numberText(v)};
    return above(field, v, largest, unit);
}

FieldProblem positionProblem(const Site& site, std::optional<QuasicrystalSystem> system) {
    for (double v : site.position)
        if (!std::isfinite(v)) return {"position", "position holds " + numberText(v)};
    if (!system) return {};
    const auto need = static_cast<std::size_t>(indexDimensionOf(*system));
    if (site.position.size() == need) return {};
    return {"position", "position has " + std::to_string(site.position.size()) + " numbers; " +
                            systemName(*system) + " cells need " + std::to_string(need)};
}

FieldProblem domainProblem(const OccupationDomain& d, std::optional<QuasicrystalSystem> system) {
    const bool icosahedral = system && *system == QuasicrystalSystem::Icosahedral;
    if (d.shape == DomainShape::Sphere && system && !icosahedral)
        return {"domain",
                "domain \"sphere\" needs a three-dimensional perpendicular space "
                "(icosahedral); use \"disc\""};
    if (d.shape == DomainShape::Disc && icosahedral)
        return {"domain",
                "domain \"disc\" needs a two-dimensional perpendicular space (an "
                "axial system); use \"sphere\""};
    if (d.shape != DomainShape::Window) {
        if (FieldProblem p = notPositive("radius", d.radius)) return p;
        if (FieldProblem p = above("radius", d.radius, kLargestRadius, " angstrom")) return p;
        if (FieldProblem p = negative("inner_radius", d.innerRadius)) return p;
        if (d.innerRadius >= d.radius)
            return {"inner_radius", "inner_radius must be less than radius (" +
                                        numberText(d.radius) + "), not " +
                                        numberText(d.innerRadius)};
        if (d.innerScale != 0.0)
            return {"inner_scale", "inner_scale is only for windows; a " +
                                       std::string(nameOf(d.shape)) + " takes inner_radius"};
        return {};
    }
    // A smaller window is a point: its generators could not be told apart.
    if (FieldProblem p = outside("scale", d.scale, kSmallestScale, kLargestScale, "")) return p;
    if (d.innerRadius != 0.0)
        return {"inner_radius",
                "inner_radius is only for spheres and discs; a window takes "
                "inner_scale"};
    if (FieldProblem p = negative("inner_scale", d.innerScale)) return p;
    if (d.innerScale != 0.0) {
        if (d.innerScale < kSmallestScale)
            return {"inner_scale", "inner_scale must be 0 (none) or at least " +
                                       numberText(kSmallestScale) + ", not " +
                                       numberText(d.innerScale)};
        if (d.innerScale >= d.scale)
            return {"inner_scale", "inner_scale must be less than scale (" + numberText(d.scale) +
                                       "), not " + numberText(d.innerScale)};
    }
    if (d.pentagon < 0 || d.pentagon > 4)
        return {"pentagon",
                "pentagon must be 0 (the decagon) to 4, not " + std::to_string(d.pentagon)};
    if (d.pentagon != 0 && system && *system != QuasicrystalSystem::Decagonal)
        return {"pentagon", "pentagon is only for decagonal windows"};
    return {};
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

FieldProblem labelProblem(const std::string& label) {
    // A label names refinement parameters ("Pd1.radius"): an identifier.
    bool word = label.size() <= kLongestLabel && !label.empty() &&
                (isAsciiLetter(label[0]) || label[0] == '_');
    for (const char c : label)
        word = word && (isAsciiLetter(c) || c == '_' || (c >= '0' && c <= '9'));
    if (label.empty() || word) return {};
    return {"label", "label '" + echoed(label) +
                         "' must be letters, digits and underscores, not starting with a digit "
                         "(as Pd1), at most " +
                         std::to_string(kLongestLabel) + " characters"};
}

bool holdsControlCharacter(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return true;
    return false;
}

}  // namespace

FieldProblem nameProblem(const std::string& name) {
    // A tab keeps the report's lines whole.
    std::string rest = name;
    std::erase(rest, '\t');
    if (!holdsControlCharacter(rest)) return {};
    return {"name", "name '" + echoed(name) + "' holds a control character"};
}

FieldProblem siteProblem(const Site& site, RadiationKind kind,
                         std::optional<QuasicrystalSystem> system) {
    if (FieldProblem p = labelProblem(site.label)) return p;
    // No symbol is longer; a longer text is echoed shortened and escaped.
    if (site.element.size() > 8 || holdsControlCharacter(site.element))
        return {"element", "element '" + echoed(site.element) + "' is not an element symbol"};
    if (std::string what = elementProblem(site.element, kind); !what.empty())
        return {"element", what};
    if (FieldProblem p = positionProblem(site, system)) return p;
    if (FieldProblem p = negative("occupancy", site.occupancy)) return p;
    if (FieldProblem p = above("occupancy", site.occupancy, 1.0, "")) return p;
    if (FieldProblem p = domainProblem(site.domain, system)) return p;
    if (FieldProblem p = negative("b_par", site.bParallel)) return p;
    if (FieldProblem p = above("b_par", site.bParallel, kLargestB, " square angstrom")) return p;
    if (FieldProblem p = negative("b_perp", site.bPerpendicular)) return p;
    return above("b_perp", site.bPerpendicular, kLargestB, " square angstrom");
}

std::optional<RepeatedLabel> repeatedLabel(const std::vector<Site>& sites) {
    for (std::size_t later = 1; later < sites.size(); ++later)
        for (std::size_t earlier = 0; earlier < later; ++earlier)
            if (!sites[later].label.empty() && sites[later].label == sites[earlier].label)
                return RepeatedLabel{earlier, later};
    return std::nullopt;
}

FieldProblem radiationProblem(const Radiation& radiation) {
    if (FieldProblem p = notPositive("kilovolts", radiation.kilovolts)) return p;
    if (FieldProblem p = above("kilovolts", radiation.kilovolts, kLargestKilovolts, " kV"))
        return p;
    if (FieldProblem p = notPositive("wavelength", radiation.wavelength)) return p;
    return above("wavelength", radiation.wavelength, kLargestWavelength, " angstrom");
}

}  // namespace tesral::physics
