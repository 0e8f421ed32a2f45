#include "physics/structure_xyz.h"

#include <cmath>
#include <cstdio>

namespace tesral::physics {
namespace {

/** Six decimals, without a "-0.000000". */
double shownValue(double v) {
    return std::abs(v) < 5e-7 ? 0.0 : v;
}

}  // namespace

std::string atomLabel(const StructureModel& model, std::size_t index) {
    const Site& site = model.sites[index];
    return site.label.empty() ? site.element + std::to_string(index + 1) : site.label;
}

std::string extendedXyz(const StructureModel& model, const std::vector<StructureAtom>& atoms,
                        const std::array<std::array<double, 3>, 3>* lattice) {
    std::string name;
    for (const char c : model.name) {
        if (c == '"' || c == '\\') name += '\\';
        name += c;
    }
    std::string text = std::to_string(atoms.size()) + '\n';
    if (lattice) {
        text += "Lattice=\"";
        for (std::size_t i = 0; i < 9; ++i) {
            char value[32];
            std::snprintf(value, sizeof value, i ? " %.6f" : "%.6f",
                          shownValue((*lattice)[i / 3][i % 3]));
            text += value;
        }
        text += "\" ";
    }
    text += "Properties=species:S:1:pos:R:3:label:S:1:occupancy:R:1 name=\"" + name + '"';
    text += lattice ? " pbc=\"T T T\"\n" : "\n";
    // Each site's fixed part: element before the position, label and occupancy after it.
    std::vector<std::string> heads, tails;
    for (std::size_t s = 0; s < model.sites.size(); ++s) {
        heads.push_back(model.sites[s].element);
        char occupancy[32];
        std::snprintf(occupancy, sizeof occupancy, "%.6g", model.sites[s].occupancy);
        tails.push_back(' ' + atomLabel(model, s) + ' ' + occupancy + '\n');
    }
    text.reserve(text.size() + atoms.size() * 48);
    for (const StructureAtom& a : atoms) {
        const auto s = static_cast<std::size_t>(a.site);
        char position[96];
        const int n =
            std::snprintf(position, sizeof position, " %.6f %.6f %.6f", shownValue(a.position[0]),
                          shownValue(a.position[1]), shownValue(a.position[2]));
        text += heads[s];
        text.append(position, static_cast<std::size_t>(n));
        text += tails[s];
    }
    return text;
}

}  // namespace tesral::physics
