#include <cstdio>
#include <stdexcept>

#include "cli/commands.h"
#include "cli/output.h"
#include "cli/run_options.h"
#include "engine/approximant_cell.h"
#include "engine/groups.h"
#include "engine/number_reader.h"
#include "engine/run_input_names.h"
#include "lattice/approximant.h"
#include "lattice/matrix_text.h"

namespace tesral::cli {
namespace {

/** The value in `format`, without a sign on a value that rounds to zero ("-0.0000"). */
std::string field(double v, const char* format) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, format, v);
    const std::string text = buffer;
    if (text.find('-') != std::string::npos && text.find_first_of("123456789") == std::string::npos)
        std::snprintf(buffer, sizeof buffer, format, 0.0);
    return buffer;
}

/** The cell of an approximant: constants, direct vectors, the index matrix and the strain. */
std::string approximantCellReport(const LatticeBasis& basis, const Approximant& approximant,
                                  Centring centring) {
    const ApproximantCell cell = centredApproximantCell(basis, approximant, centring);
    const PhasonStrain strain = approximantStrain(basis, approximant);
    std::string text = approximantCellText(approximant, cell) + "\r\n";
    text += "Cell Vectors (A; parallel x, y, z)\r\n";
    const char* names[3] = {"a", "b", "c"};
    for (int i = 0; i < 3; ++i) {
        text += names[i];
        for (double v : cell.vectors[static_cast<std::size_t>(i)]) text += field(v, "%11.4f");
        text += "\r\n";
    }
    text += "Index Matrix (h, k, l from h1 ... h" + std::to_string(cell.n) + ")\r\n";
    for (int i = 0; i < 3; ++i) {
        text += "hkl"[i];
        for (int j = 0; j < cell.n; ++j)
            text +=
                field(cell.indexMatrix[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)],
                      "%5.0f");
        if (cell.divisor[static_cast<std::size_t>(i)] > 1)
            text += "   / " + std::to_string(cell.divisor[static_cast<std::size_t>(i)]);
        text += "\r\n";
    }
    text += "Phason Strain M (perpendicular x parallel)\r\n";
    for (int i = 0; i < strain.size; ++i) {
        for (int j = 0; j < strain.size; ++j) text += field(strain.at(i, j), "%12.8f");
        text += "\r\n";
    }
    return text;
}

}  // namespace

int groupsCommand(const std::vector<std::string>& args) {
    KnownOptions known;
    known.valued = {"output"};
    const Options options(args, known);
    std::string text;
    for (const auto system : {QuasicrystalSystem::Octagonal, QuasicrystalSystem::Decagonal,
                              QuasicrystalSystem::Dodecagonal, QuasicrystalSystem::Icosahedral}) {
        for (const SpaceGroupEntry& g : groupsOfSystem(system)) {
            text += std::to_string(g.number) + '\t' + std::string(g.symbol) + '\t' +
                    std::string(g.conditionText) + '\n';
        }
    }
    writeOutput(options, text);
    return 0;
}

int matricesCommand(const std::vector<std::string>& args) {
    KnownOptions known;
    known.valued = {"system", "a", "c", "convention", "approximant", "group", "output"};
    const Options options(args, known);
    rejectControlCharacters(options, {"system", "a", "c", "convention", "approximant", "group"});
    const QuasicrystalSystem system = systemFrom(options.value("system", "decagonal"));
    const MatrixConvention convention = conventionFrom(options.value("convention", "yamamoto"));

    const RunInputs defaults;
    const auto basis = buildLatticeBasis(system, readNumber(options.value("a", defaults.a)),
                                         readNumber(options.value("c", defaults.c)), convention);
    if (!basis) throw std::runtime_error(kLatticeConstantsMessage);
    if (options.has("approximant")) {
        std::string error;
        const auto approximant = parseApproximant(options.value("approximant"), system, error);
        if (!approximant) throw UsageError(approximantUsage(system));
        Centring centring = Centring::Primitive;
        if (options.has("group")) {
            const auto position = groupPositionNamed(system, options.value("group"));
            if (!position)
                throw UsageError("no group " + quoted(options.value("group")) + " in this system");
            centring = groupsOfSystem(system)[static_cast<std::size_t>(*position)].centring;
        }
        writeOutput(options, approximantCellReport(*basis, *approximant, centring));
        return 0;
    }
    writeOutput(options, usedMatricesText(*basis));
    return 0;
}

std::string groupsHelp() {
    return "tesral-cli groups [--output FILE]\n"
           "Writes the 85 superspace groups, one a line: number, symbol and condition words,\n"
           "separated by tabs.\n";
}

std::string matricesHelp() {
    return "tesral-cli matrices [options]\n"
           "Writes the direct lattice matrix and its inverse for the given inputs.\n\n"
           "  --system octagonal|decagonal|dodecagonal|icosahedral   (default decagonal)\n"
           "  --a TEXT               lattice constant a, angstrom    (default 2.82)\n"
           "  --c TEXT               lattice constant c, angstrom    (default 12.06)\n"
           "  --convention yamamoto|steurer                          (default yamamoto)\n"
           "  --approximant P/Q      instead, the approximant's cell: its constants, direct\n"
           "                         vectors, the matrix from h1 ... hn to its h k l and\n"
           "                         the phason strain that makes it (1/1, 2/1, ...\n"
           "                         icosahedral; P/Q or P/Q,R/S axial)\n"
           "  --group SYMBOL         with --approximant: the group whose centring counts (an\n"
           "                         F or I lattice may have a smaller cell)\n"
           "  --output FILE          write to FILE instead of standard output\n";
}

}  // namespace tesral::cli
