// tesral-cli structure: a model's atoms in real space, as extended XYZ.

#include "cli/commands.h"
#include "cli/model_options.h"
#include "cli/option_values.h"
#include "cli/output.h"
#include "cli/run_options.h"
#include "physics/structure_patch.h"
#include "physics/structure_xyz.h"

namespace tesral::cli {
namespace {

KnownOptions structureOptions() {
    KnownOptions known;
    known.valued = runOptionNames();
    for (std::string& name : modelOptionNames()) known.valued.push_back(std::move(name));
    for (const char* name : {"radius", "phason-shift", "output"}) known.valued.emplace_back(name);
    return known;
}

}  // namespace

int structureCommand(const std::vector<std::string>& args) {
    const Options options(args, structureOptions());
    if (!options.has("radius")) throw UsageError("--radius R is needed (angstrom)");
    const double radius = value<double>(options, "radius", 0.0, {.low = 0, .aboveLow = true},
                                        "takes a radius in angstrom, above 0");
    const std::string output = options.value("output", "-");
    if (output != "-" && extensionOf(output) != "xyz")
        throw UsageError("--output must name a .xyz file");
    const RunInputs inputs = runInputsFrom(options);
    physics::PatchRequest request;
    request.radius = radius;
    if (options.has("phason-shift")) {
        const std::size_t count = inputs.system == QuasicrystalSystem::Icosahedral ? 3 : 2;
        const std::vector<double> shift = numbers(options, "phason-shift", ',', count);
        for (std::size_t i = 0; i < count; ++i) request.phasonShift[i] = shift[i];
    }
    std::optional<physics::StructureModel> model = modelFrom(options, inputs.system);
    if (!model) throw UsageError("--model FILE (or --domain) is needed");
    const physics::Calculation calculation = calculationFor(inputs, model, std::nullopt);
    const std::vector<physics::StructureAtom> atoms =
        physics::calculationPatch(calculation, request);
    writeOutput(options, physics::extendedXyz(*model, atoms));
    return 0;
}

std::string structureHelp() {
    return "tesral-cli structure --model FILE --radius R [options] [--output FILE.xyz]\n"
           "Writes the atoms of a quasicrystal model within R of the origin as extended XYZ\n"
           "(element, x, y, z in A, site label, occupancy): the lattice points whose\n"
           "perpendicular part falls in a site's occupation domain, the centring's points\n"
           "included. The axial systems' z runs along the periodic axis.\n\n"
           "Structure options:\n"
           "  --model FILE           the structure model (TOML; examples in doc/models/);\n"
           "                         or --domain D and the one-site options of report\n"
           "  --radius R             the patch's radius in A\n"
           "  --phason-shift X,Y,Z   moves the domains in perpendicular space (A; X,Y for\n"
           "                         the axial systems)                   (default 0)\n"
           "  --output FILE          a .xyz file; standard output without it\n\n" +
           runOptionsHelp();
}

}  // namespace tesral::cli
