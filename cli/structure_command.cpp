// tesral-cli structure: a model's atoms in real space: a patch as extended XYZ, or one
// approximant cell as CIF or extended XYZ.

#include "cli/commands.h"
#include "cli/model_options.h"
#include "cli/option_values.h"
#include "cli/output.h"
#include "cli/run_options.h"
#include "cli/structure_commands.h"
#include "physics/structure_cif.h"
#include "physics/structure_patch.h"
#include "physics/structure_xyz.h"

namespace tesral::cli {

KnownOptions structureOptions() {
    KnownOptions known;
    known.valued = runOptionNames();
    for (std::string& name : modelOptionNames()) known.valued.push_back(std::move(name));
    for (const char* name :
         {"radius", "phason-shift", "output", "slab-axis", "thickness", "height", "size"})
        known.valued.emplace_back(name);
    known.flags = {"edges"};
    return known;
}

std::array<double, 3> phasonShiftFrom(const Options& options, QuasicrystalSystem system) {
    std::array<double, 3> shift{};
    if (!options.has("phason-shift")) return shift;
    const std::size_t count = system == QuasicrystalSystem::Icosahedral ? 3 : 2;
    const std::vector<double> values = numbers(options, "phason-shift", ',', count);
    for (std::size_t i = 0; i < count; ++i) shift[i] = values[i];
    return shift;
}

bool structureDrawsPicture(const std::vector<std::string>& args) {
    return namesPicture(Options(args, structureOptions()).value("output"));
}

namespace {

/** One cell of the run's approximant, as CIF (a .cif file or standard output) or XYZ. */
void writeCell(const Options& options, const physics::StructureModel& model,
               const physics::Calculation& calculation, const std::array<double, 3>& shift) {
    const std::string output = options.value("output", "-");
    const std::vector<physics::CellAtom> atoms = physics::calculationCell(calculation, shift);
    const RunParameters& p = calculation.parameters;
    const ApproximantCell cell = *runApproximantCell(p);
    if (output != "-" && extensionOf(output) == "xyz") {
        std::vector<physics::StructureAtom> placed;
        placed.reserve(atoms.size());
        for (const physics::CellAtom& a : atoms)
            placed.push_back({physics::cellPosition(cell, a), a.site});
        writeOutput(options, physics::extendedXyz(model, placed, &cell.vectors));
        return;
    }
    writeOutput(options, physics::smallMoleculeCif(
                             model, "approximant_" + approximantText(*p.approximant), cell, atoms));
}

}  // namespace

int structureCommand(const std::vector<std::string>& args) {
    const Options options(args, structureOptions());
    const RunInputs inputs = runInputsFrom(options);
    const bool cell = !options.has("radius") && !inputs.approximant.empty();
    if (!cell && !options.has("radius"))
        throw UsageError("--radius R is needed (angstrom), or --approximant P/Q for one cell");
    const std::string output = options.value("output", "-");
    if (output != "-" && extensionOf(output) != "xyz" && !(cell && extensionOf(output) == "cif"))
        throw UsageError(cell ? "--output must name a .cif or .xyz file"
                              : "--output must name a .xyz file (a .cif is one approximant "
                                "cell: --approximant P/Q without --radius)");
    for (const char* name : {"slab-axis", "thickness", "height", "size", "edges"})
        if (options.has(name))
            throw UsageError(std::string("--") + name +
                             " is for a picture of a slab (--output FILE.png, .svg, .pdf, ...)");
    const std::array<double, 3> shift = phasonShiftFrom(options, inputs.system);
    physics::PatchRequest request;
    if (!cell)
        request.radius = value<double>(options, "radius", 0.0, {.low = 0, .aboveLow = true},
                                       "takes a radius in angstrom, above 0");
    request.phasonShift = shift;
    std::optional<physics::StructureModel> model = modelFrom(options, inputs.system);
    if (!model) throw UsageError("--model FILE (or --domain) is needed");
    const physics::Calculation calculation = calculationFor(inputs, model, std::nullopt);
    if (cell) {
        writeCell(options, *model, calculation, shift);
        return 0;
    }
    const std::vector<physics::StructureAtom> atoms =
        physics::calculationPatch(calculation, request);
    writeOutput(options, physics::extendedXyz(*model, atoms));
    return 0;
}

std::string structureHelp() {
    return "tesral-cli structure --model FILE --radius R [options] [--output FILE.xyz]\n"
           "tesral-cli structure --model FILE --approximant P/Q [options] [--output FILE.cif]\n"
           "Writes the atoms of a quasicrystal model within R of the origin as extended XYZ\n"
           "(element, x, y, z in A, site label, occupancy): the lattice points whose\n"
           "perpendicular part falls in a site's occupation domain, the centring's points\n"
           "included. The axial systems' z runs along the periodic axis. With --approximant\n"
           "and no --radius, one cell of the approximant: its atoms wrapped into the cell\n"
           "(those on faces once), as a small-molecule CIF in P 1 or, to a .xyz file, as\n"
           "extended XYZ with the cell's Lattice and pbc.\n\n"
           "Structure options:\n"
           "  --model FILE           the structure model (TOML; examples in doc/models/);\n"
           "                         or --domain D and the one-site options of report\n"
           "  --radius R             the patch's radius in A\n"
           "  --approximant P/Q      without --radius: one cell of this approximant\n"
           "                         (with --radius: the approximant's periodic patch)\n"
           "  --phason-shift X,Y,Z   moves the domains in perpendicular space (A; X,Y for\n"
           "                         the axial systems)                   (default 0)\n"
           "  --output FILE          a .xyz file (a patch or a cell) or a .cif file (a\n"
           "                         cell); standard output without it (XYZ for a patch,\n"
           "                         CIF for a cell); a .png, .svg, .pdf, .wmf or .bmp\n"
           "                         file: a picture of a slab of the patch\n\n"
           "Picture options (a slab of the patch, drawn as the window's Structure view):\n"
           "  --slab-axis NAME       the slab's normal: fivefold, threefold or twofold\n"
           "                         (icosahedral); the periodic axis for the axial systems\n"
           "  --thickness T          the slab's thickness in A       (default 1; icosahedral 3)\n"
           "  --height H             its middle along the normal, A  (default: the atom\n"
           "                         nearest the origin)\n"
           "  --edges                draw the tiling's edges\n"
           "  --size WxH             the picture in pixels            (default 800x800)\n\n" +
           runOptionsHelp();
}

}  // namespace tesral::cli
