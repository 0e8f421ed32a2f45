// The structure command of the picture program: a slab of a patch's atoms, drawn as the
// window's Structure view draws it.

#include "cli/commands.h"
#include "cli/model_options.h"
#include "cli/offscreen_application.h"
#include "cli/option_values.h"
#include "cli/output.h"
#include "cli/structure_commands.h"
#include "physics/structure_patch.h"
#include "physics/structure_slab.h"
#include "plots/drawing_picture.h"
#include "plots/structure_drawing.h"

namespace tesral::cli {
namespace {

constexpr PixelSize kStructurePictureSize{800, 800};

/** The preset named by --slab-axis; the first (the periodic axis of the axial systems). */
AxisIndices slabAxisFrom(const Options& options, QuasicrystalSystem system) {
    const std::vector<ZonePreset> axes = physics::slabAxes(system);
    if (!options.has("slab-axis")) return axes.front().axis;
    std::string names;
    for (const ZonePreset& p : axes) {
        if (options.value("slab-axis") == p.name) return p.axis;
        names += (names.empty() ? "" : ", ") + std::string(p.name);
    }
    throw UsageError("--slab-axis takes " + names + " for this system");
}

}  // namespace

int structurePictureCommand(const std::vector<std::string>& args) {
    const Options options(args, structureOptions());
    const std::optional<PictureFormat> format =
        pictureFormatOf(QString::fromStdString(options.value("output")));
    if (!format) throw UsageError("--output must name a picture file");
    if (!options.has("radius")) throw UsageError("a picture needs --radius R (angstrom)");
    const RunInputs inputs = runInputsFrom(options);
    physics::PatchRequest request;
    request.radius = value<double>(options, "radius", 0.0, {.low = 0, .aboveLow = true},
                                   "takes a radius in angstrom, above 0");
    request.phasonShift = phasonShiftFrom(options, inputs.system);
    const bool icosahedral = inputs.system == QuasicrystalSystem::Icosahedral;
    const double thickness =
        value<double>(options, "thickness", icosahedral ? 3.0 : 1.0, {.low = 0, .aboveLow = true},
                      "takes a thickness in angstrom, above 0");
    std::optional<double> height;
    if (options.has("height"))
        height = value<double>(options, "height", 0.0, {}, "takes a height in angstrom");
    const AxisIndices axis = slabAxisFrom(options, inputs.system);
    std::optional<physics::StructureModel> model = modelFrom(options, inputs.system);
    if (!model) throw UsageError("--model FILE (or --domain) is needed");
    const physics::Calculation calculation = calculationFor(inputs, model, std::nullopt);
    const physics::StructureSlab slab = physics::structureSlab(
        calculation, physics::calculationPatch(calculation, request), axis, thickness, height);

    std::vector<StructureDrawingAtom> atoms;
    atoms.reserve(slab.atoms.size());
    for (const physics::StructureAtom& a : slab.atoms) atoms.push_back({a.position, a.site});
    StructureDrawingData data;
    data.atoms = atoms;
    for (const physics::Site& site : model->sites)
        data.siteElements.push_back(QString::fromStdString(site.element));
    data.axis = slab.axis;
    data.height = slab.height;
    data.thickness = slab.thickness;
    data.halfWidth = request.radius;
    data.edges = options.has("edges");
    data.tilingEdge = slab.tilingEdge;
    data.tilingSites = slab.tilingSites;

    const OffscreenApplication application;
    PictureSettings picture;
    const PixelSize size = cli::size(options, kStructurePictureSize);
    picture.size = {size.width, size.height};
    picture.background = kWhite;
    picture.foreground = kBlack;
    picture.font = defaultPlotFont();
    PictureDrawing drawing;
    drawing.draw = [&data](const PlotTarget& target, PlotCanvas& canvas) {
        return drawStructure(data, target, canvas);
    };
    drawing.title = QStringLiteral("Tesral structure");
    drawing.nothing = QStringLiteral("nothing to draw: the slab holds no atom");
    drawing.square = true;
    QString reason;
    const std::optional<QByteArray> bytes = pictureBytes(*format, picture, drawing, &reason);
    if (!bytes) throw std::runtime_error(reason.toStdString());
    printNote(std::to_string(slab.atoms.size()) + " atoms in the slab");
    writeOutput(options, std::string_view(bytes->constData(), bytes->size()));
    return 0;
}

}  // namespace tesral::cli
