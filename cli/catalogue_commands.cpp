#include <stdexcept>

#include "cli/commands.h"
#include "cli/output.h"
#include "cli/run_options.h"
#include "engine/groups.h"
#include "engine/number_reader.h"
#include "lattice/matrix_text.h"

namespace tesral::cli {

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
    known.valued = {"system", "a", "c", "convention", "output"};
    const Options options(args, known);
    rejectControlCharacters(options, {"system", "a", "c", "convention"});
    const QuasicrystalSystem system = systemFrom(options.value("system", "decagonal"));
    const MatrixConvention convention = conventionFrom(options.value("convention", "yamamoto"));

    const RunInputs defaults;
    const auto basis = buildLatticeBasis(system, readNumber(options.value("a", defaults.a)),
                                         readNumber(options.value("c", defaults.c)), convention);
    if (!basis) throw std::runtime_error(kLatticeConstantsMessage);
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
           "  --output FILE          write to FILE instead of standard output\n";
}

}  // namespace tesral::cli
