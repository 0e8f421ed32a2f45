#include "cli/zone_command.h"

#include <cmath>
#include <cstdio>

#include "cli/model_options.h"
#include "cli/option_values.h"
#include "cli/output.h"
#include "cli/run_options.h"
#include "cli/zone_fit.h"
#include "report/clipboard_rows.h"
#include "report/report_head.h"

namespace tesral::cli {
namespace {

/** "  1.23456" in a field of width 10, five decimals. */
std::string fixed(double value, int width) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%*.5f", width, value);
    return buffer;
}

}  // namespace

KnownOptions zoneOptions() {
    KnownOptions known;
    known.valued = runOptionNames();
    for (std::string& name : modelOptionNames()) known.valued.push_back(std::move(name));
    for (const char* name : {"axis", "x-axis", "slab", "camera-length", "columns", "output", "size",
                             "background", "spot-size", "threshold", "labels"})
        known.valued.emplace_back(name);
    for (std::string& name : zoneFitValuedOptions()) known.valued.push_back(std::move(name));
    known.flags = {"unfilled"};
    for (std::string& name : zoneFitFlags()) known.flags.push_back(std::move(name));
    return known;
}

bool zoneDrawsPicture(const std::vector<std::string>& args) {
    const Options options(args, zoneOptions());
    if (zoneFits(options)) return options.has("output") && namesPicture(options.value("output"));
    if (!options.has("output")) throw UsageError("--output FILE is needed");
    return namesPicture(options.value("output"));
}

int zoneCommand(const std::vector<std::string>& args) {
    const Options options(args, zoneOptions());
    if (zoneFits(options)) return zoneFitCommand(options);
    if (!options.has("output")) throw UsageError("--output FILE is needed");
    refusePictureOptions(options, {"size"});
    return writeZoneRows(options, zoneRunFrom(options));
}

ZoneRun zoneRunFrom(const Options& options) {
    ZoneRun run;
    if (!options.has("axis"))
        throw UsageError("--axis is needed: indices n1,n2,... or a named axis");
    const RunInputs inputs = runInputsFrom(options);
    run.axisText = options.value("axis");
    const std::string problem = parseZoneAxis(run.axisText, inputs.system, run.axis);
    if (!problem.empty()) throw UsageError(problem);
    ZoneRequest request{run.axis, 0.0, std::nullopt};
    if (options.has("x-axis")) {
        AxisIndices reference{};
        const std::string text = options.value("x-axis");
        const std::string why = parseZoneAxis(text, inputs.system, reference);
        if (!why.empty() || (!text.empty() && text.front() >= 'a' && text.front() <= 'z'))
            throw UsageError("--x-axis takes the indices of a reflection, h1,h2,...: " +
                             (why.empty() ? std::string("not a name") : why));
        request.reference = reference;
    }
    request.slab = value<double>(options, "slab", request.slab, {.low = 0},
                                 "takes a half-thickness in 1/A, 0 or more");
    run.cameraLength = value<double>(options, "camera-length", run.cameraLength, {.low = 0},
                                     "takes a length in mm, 0 or more");
    // The section of the run's own box: the row limit refuses no run here, as before.
    const physics::Calculation calculation =
        calculationFor(inputs, modelFrom(options, inputs.system), std::nullopt);
    physics::ZoneResult zone = physics::zone(calculation, request);
    if (!zone.ok()) throw std::runtime_error(zone.message);
    if (zone.cutByLimits)
        printNote(
            "the loop limits cut this section; wider limits would add reflections of "
            "the theta and qi windows");
    run.section = std::move(zone.section);
    run.intensities = zone.intensities;
    return run;
}

int writeZoneRows(const Options& options, const ZoneRun& run) {
    const RunResult& result = run.section.run;
    ReportColumns columns = reportColumnsFrom(options, result.indexDimension);
    columns.hPerpScale = perpendicularLengthScale(result.parameters);
    columns.takeCellIndices(result.parameters);
    const bool nearColumn = options.has("slab");
    const bool report = extensionOf(options.value("output")) == "hkl";
    std::string text;
    if (report) {
        const ReportOptions ro{columns, result.parameters.convention, '.'};
        std::vector<std::string> head = reportHeadLines(result.table.size(), result.header, ro);
        // The plane coordinates follow the shown columns on the heading line.
        if (head.size() >= 2)
            head[head.size() - 2] +=
                std::string("    u (1/A)   v (1/A)") + (nearColumn ? " near" : "");
        for (const std::string& line : head) text += line + "\r\n";
        for (std::size_t i = 0; i < result.table.size(); ++i) {
            const ZoneSpot& s = run.section.spots[i];
            text += reportRow(static_cast<int>(i + 1), result.table[i], ro) + fixed(s.u, 11) +
                    fixed(s.v, 10) + (nearColumn ? (s.nearZone ? "    1" : "    0") : "") + "\r\n";
        }
    } else {
        const ShownColumns shown(columns);
        for (std::size_t i = 0; i < result.table.size(); ++i) {
            std::string line;
            appendClipboardRow(line, i + 1, result.table[i], shown, '.');
            if (line.size() >= 2) line.resize(line.size() - 2);  // the CRLF
            const ZoneSpot& s = run.section.spots[i];
            line += fixed(s.u, 0) + '\t' + fixed(s.v, 0) + '\t';
            if (nearColumn) line += s.nearZone ? "1\t" : "0\t";
            text += line + "\r\n";
        }
    }
    writeOutput(options, text);
    return 0;
}

std::string zoneHelp() {
    return std::string(
               "tesral-cli zone --axis AXIS [options] --output FILE\n"
               "Writes the reflections of the run that lie in the plane through the origin\n"
               "perpendicular to a direct-lattice direction (the zone axis), decided exactly.\n"
               "The theta window, qi max, loop limits, group and model apply as in a run.\n\n"
               "Zone options:\n"
               "  --axis AXIS            n1,n2,... (5 indices, 6 for icosahedral) or a name:\n"
               "                         fivefold, threefold, twofold (icosahedral);\n"
               "                         periodic, twofold-a (along a basis vector),\n"
               "                         twofold-b (between two) for the axial systems\n"
               "  --x-axis h1,h2,...     x along this reflection's part in the plane\n"
               "                         (default: the shortest reflection of the section)\n"
               "  --slab T               also keep near-zone reflections with |H.u| <= T\n"
               "                         (1/A), drawn hollow; adds a column 'near' (1 or 0)\n"
               "  --camera-length L      scale bar in film millimetres, R = lambda L / d\n"
               "  --labels N             index labels on the N strongest spots  (default " +
               std::to_string(kZoneLabels) +
               ")\n"
               "  --output FILE          .hkl: the report, .tsv or other: the list, each row\n"
               "                         with the plane coordinates u and v (1/A); .png,\n"
               "                         .bmp, .svg, .wmf, .pdf: the pattern, x along the\n"
               "                         shortest reflection of the section\n"
               "  --size WxH, --background black|white, --unfilled,\n"
               "  --spot-size qi|fixed|intensity, --threshold P   as for plot2d\n"
               "  --columns LIST         as for report\n\n") +
           zoneFitHelp() + runOptionsHelp() + modelOptionsHelp();
}

}  // namespace tesral::cli
