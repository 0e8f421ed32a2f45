#include "physics/model_check.h"

#include <cmath>
#include <sstream>

#include "physics/model_file_guard.h"
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
        return above("radius", d.radius, kLargestRadius, " angstrom");
    }
    // A smaller window is a point: its generators could not be told apart.
    if (FieldProblem p = outside("scale", d.scale, kSmallestScale, kLargestScale, "")) return p;
    if (d.pentagon < 0 || d.pentagon > 4)
        return {"pentagon",
                "pentagon must be 0 (the decagon) to 4, not " + std::to_string(d.pentagon)};
    if (d.pentagon != 0 && system && *system != QuasicrystalSystem::Decagonal)
        return {"pentagon", "pentagon is only for decagonal windows"};
    return {};
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

FieldProblem radiationProblem(const Radiation& radiation) {
    if (FieldProblem p = notPositive("kilovolts", radiation.kilovolts)) return p;
    if (FieldProblem p = above("kilovolts", radiation.kilovolts, kLargestKilovolts, " kV"))
        return p;
    if (FieldProblem p = notPositive("wavelength", radiation.wavelength)) return p;
    return above("wavelength", radiation.wavelength, kLargestWavelength, " angstrom");
}

}  // namespace tesral::physics
