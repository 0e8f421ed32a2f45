#include "physics/structure_cif.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "lattice/fixed_text.h"
#include "physics/structure_xyz.h"

namespace tesral::physics {
namespace {

/** A CIF value: bare when it can be, else quoted with a quote it does not hold. */
std::string cifValue(const std::string& text) {
    bool plain = !text.empty() && text.find_first_of(" \t'\"#$_;[]") == std::string::npos;
    if (plain) return text;
    if (text.find('\'') == std::string::npos) return '\'' + text + '\'';
    if (text.find('"') == std::string::npos) return '"' + text + '"';
    return ";" + text + "\n;";
}

/** Letters, digits, '-' and '_' only: a block name or loop value without blanks. */
std::string blockName(const std::string& text) {
    std::string name;
    for (const char c : text)
        name += std::isalnum(static_cast<unsigned char>(c)) || c == '-' ? c : '_';
    return name.empty() ? std::string("tesral") : name;
}

double determinant(const std::array<std::array<double, 3>, 3>& m) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

/** Six decimals in [0, 1): a fraction that rounds to 1 is written as 0. */
std::string fraction(double f) {
    std::string text = printedNumber("%.6f", f);
    return text == "1.000000" || text == "-0.000000" ? std::string("0.000000") : text;
}

}  // namespace

std::string smallMoleculeCif(const StructureModel& model, const std::string& block,
                             const ApproximantCell& cell, const std::vector<CellAtom>& atoms) {
    const auto& k = cell.constants;
    std::string text = "data_" + blockName(block) + "\n";
    text += "_audit_creation_method 'tesral-cli structure'\n";
    if (!model.name.empty()) text += "_chemical_name_systematic " + cifValue(model.name) + "\n";
    text += "_cell_length_a " + printedNumber("%.6f", k[0]) + "\n";
    text += "_cell_length_b " + printedNumber("%.6f", k[1]) + "\n";
    text += "_cell_length_c " + printedNumber("%.6f", k[2]) + "\n";
    text += "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n";
    text += "_cell_volume " + printedNumber("%.4f", k[0] * k[1] * k[2]) + "\n";
    text += "_symmetry_space_group_name_H-M 'P 1'\n";
    text += "_space_group_name_H-M_alt 'P 1'\n";
    text += "_space_group_IT_number 1\n";
    text += "loop_\n_space_group_symop_operation_xyz\n'x, y, z'\n";
    text +=
        "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n"
        "_atom_site_fract_y\n_atom_site_fract_z\n_atom_site_occupancy\n";

    const bool mirrored = determinant(cell.vectors) < 0.0;
    std::vector<std::string> labels, tails;
    for (std::size_t s = 0; s < model.sites.size(); ++s) {
        // Loop values are split at blanks: a label keeps letters, digits, '-' and '_'.
        std::string label = blockName(atomLabel(model, s));
        if (!label.empty() && std::isdigit(static_cast<unsigned char>(label.back()))) label += '_';
        labels.push_back(label);
        tails.push_back(' ' + printedNumber("%.6g", model.sites[s].occupancy) + '\n');
    }
    std::vector<int> count(model.sites.size(), 0);
    text.reserve(text.size() + atoms.size() * 56);
    for (const CellAtom& a : atoms) {
        const auto s = static_cast<std::size_t>(a.site);
        const double z = mirrored ? std::fmod(1.0 - a.fraction[2], 1.0) : a.fraction[2];
        text += labels[s] + std::to_string(++count[s]) + ' ' + model.sites[s].element + ' ' +
                fraction(a.fraction[0]) + ' ' + fraction(a.fraction[1]) + ' ' + fraction(z) +
                tails[s];
    }
    return text;
}

}  // namespace tesral::physics
