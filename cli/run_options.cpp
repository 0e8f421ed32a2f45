#include "run_options.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "cli/option_values.h"
#include "cli/output.h"
#include "engine/groups.h"
#include "engine/run_input_names.h"
#include "engine/wavelength.h"
#include "physics/calculation.h"
#include "report/column_names.h"
#include "report/config_file.h"
#include "report/safe_file.h"

namespace tesral::cli {
namespace {

/** `base` is the group of the configuration file, or the window's start-up group. */
int groupPositionFrom(const Options& options, QuasicrystalSystem system, bool systemGiven,
                      int base) {
    const auto groups = groupsOfSystem(system);
    if (options.has("group") && options.has("group-index"))
        throw UsageError("give either --group or --group-index");
    if (options.has("group")) {
        const std::string symbol = options.value("group");
        if (const std::optional<int> position = groupPositionNamed(system, symbol))
            return *position;
        throw UsageError("no group " + quoted(symbol) + " in this system");
    }
    const double last = static_cast<double>(groups.size() - 1);
    if (options.has("group-index"))
        return value<int>(options, "group-index", 0, {0, last},
                          "must be 0.." + std::to_string(groups.size() - 1));
    // Switching systems selects the system's default group, as in the window.
    return systemGiven ? defaultGroupPosition(system) : base;
}

/** --config into `config`; refused when --output names the same file, which the output
 *  would replace. */
void readConfiguration(const Options& options, ConfigValues& config) {
    const std::string path = options.value("config");
    refuseOutputOnto(options, path, "configuration file");
    std::string reason;
    const std::optional<int> applied = readConfigFile(path, config, &reason);
    if (!applied)
        throw std::runtime_error("cannot read the configuration file " + quotedPath(path) + ": " +
                                 reason);
    if (*applied == 0)
        printNote("nothing in the configuration file " + quotedPath(path) +
                  " could be applied; its first line is not a system number 0..3");
}

}  // namespace

QuasicrystalSystem systemFrom(const std::string& name) {
    if (const std::optional<QuasicrystalSystem> system = systemNamed(name)) return *system;
    throw UsageError("unknown system " + quoted(name));
}

MatrixConvention conventionFrom(const std::string& name) {
    if (const std::optional<MatrixConvention> convention = conventionNamed(name))
        return *convention;
    throw UsageError("unknown convention " + quoted(name));
}

std::vector<std::string> runOptionNames() {
    return {"config",     "system",   "group",         "group-index", "convention", "a",
            "c",          "limits",   "thmin",         "thmax",       "qimax",      "anode",
            "wavelength", "max-rows", "phason-strain", "approximant"};
}

RunInputs runInputsFrom(const Options& options) {
    // A field holds one line of text; a line break would also break the report's header.
    rejectControlCharacters(options, runOptionNames());
    // The window's start-up inputs, or those of a configuration file as the window reads it.
    ConfigValues config;
    if (options.has("config")) readConfiguration(options, config);
    RunInputs in = config.inputs;
    const bool systemGiven = options.has("system");
    if (systemGiven) in.system = systemFrom(options.value("system"));
    in.groupPosition = groupPositionFrom(options, in.system, systemGiven, in.groupPosition);

    if (options.has("convention")) in.convention = conventionFrom(options.value("convention"));

    in.a = options.value("a", in.a);
    in.c = options.value("c", in.c);
    if (options.has("limits")) {
        const auto limits = splitList(options.value("limits"));
        const size_t need = static_cast<size_t>(indexDimensionOf(in.system));
        if (limits.size() != 5 && limits.size() != 6)
            throw UsageError("--limits takes five or six comma-separated values");
        if (limits.size() < need) throw UsageError("--limits needs six values for this system");
        for (size_t i = 0; i < limits.size(); ++i) in.loopLimits[i] = limits[i];
    }
    in.thetaMin = options.value("thmin", in.thetaMin);
    in.thetaMax = options.value("thmax", in.thetaMax);
    in.qiMax = options.value("qimax", in.qiMax);

    if (options.has("anode")) {
        const std::string anode = options.value("anode");
        const std::optional<std::string> wavelength = anodeWavelengthText(anode);
        if (!wavelength) throw UsageError("unknown anode " + quoted(anode));
        in.wavelength = *wavelength;
    }
    if (options.has("wavelength")) in.wavelength = options.value("wavelength");
    if (options.has("phason-strain")) {
        in.phasonStrain = options.value("phason-strain");
        if (!readPhasonStrain(in.phasonStrain, in.system))
            throw UsageError(
                "--phason-strain takes " + std::to_string(phasonStrainElementCount(in.system)) +
                " comma-separated numbers for this system (the matrix row by row; 9 icosahedral, "
                "4 axial)");
    }
    if (options.has("approximant")) {
        if (options.has("phason-strain"))
            throw UsageError("give either --approximant or --phason-strain");
        in.approximant = options.value("approximant");
        std::string error;
        if (!parseApproximant(in.approximant, in.system, error))
            throw UsageError(approximantUsage(in.system));
    }
    return in;
}

ReportColumns reportColumnsFrom(const Options& options, int indexDimension) {
    ColumnChoices choices;
    if (options.has("columns")) {
        std::string unknown;
        const std::optional<ColumnChoices> named =
            columnChoicesNamed(splitList(options.value("columns")), unknown);
        if (!named) throw UsageError("unknown column " + quoted(unknown));
        choices = *named;
    }
    if (choices.hkl && !options.has("approximant"))
        throw UsageError("the column hkl (the approximant cell's indices) needs --approximant");
    return ReportColumns::from(choices, indexDimension);
}

BoxCount maxRowsFrom(const Options& options) {
    if (!options.has("max-rows")) return kDefaultMaxRows;
    const std::string text = options.value("max-rows");
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError("--max-rows takes a whole number of rows");
    BoxCount value = 0;
    for (const char c : text) {
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > kLargestMaxRows)
            throw UsageError("--max-rows " + quoted(text) + " is too large; the largest is " +
                             boxCountText(kLargestMaxRows));
    }
    return value;
}

TerminalProgress::TerminalProgress(BoxCount totalLoops)
    : terminal_(isatty(STDERR_FILENO) != 0), loops_(loopsStatusText(totalLoops)) {}

TerminalProgress::~TerminalProgress() {
    clear();
}

std::function<void(double)> TerminalProgress::callback() {
    if (!terminal_) return {};
    return [this](double fraction) {
        const int percent = static_cast<int>(fraction * 100.0);
        if (percent != lastPercent_) {
            lastPercent_ = percent;
            std::fprintf(stderr, "\rcalculating ... %3d%% %s", percent, loops_.c_str());
        }
    };
}

void TerminalProgress::clear() {
    if (terminal_ && lastPercent_ >= 0) std::fprintf(stderr, "\r%*s\r", 60, "");
    lastPercent_ = -1;
}

physics::Calculation calculationFor(const RunInputs& inputs,
                                    std::optional<physics::StructureModel> model,
                                    std::optional<BoxCount> maxRows) {
    std::string error;
    std::optional<physics::Calculation> calculation =
        physics::calculationFrom(inputs, std::move(model), error);
    if (!calculation) throw std::runtime_error(error);
    calculation->maxRows = maxRows;
    return std::move(*calculation);
}

void noteEmptyRun(const RunInputs& inputs) {
    const std::string reasons = joinReasons(emptyRunReasons(inputs));
    if (!reasons.empty()) printNote("0 reflections: " + reasons);
}

void runForCommand(const RunInputs& inputs, std::optional<physics::StructureModel> model,
                   BoxCount maxRows, RunResult& result, ProjectedPoints* points) {
    const physics::Calculation calculation = calculationFor(inputs, std::move(model), maxRows);
    const PreparedRun run = physics::prepare(calculation);
    if (!run.ready()) throw std::runtime_error(run.message);
    RunJobOptions job;
    job.points = points != nullptr;
    TerminalProgress progress(run.totalLoops);
    job.progress = progress.callback();
    RunOutcome outcome = physics::run(calculation, run, std::move(job));
    progress.clear();
    result = std::move(outcome.result);
    if (points) *points = std::move(outcome.points);
    if (result.status != RunStatus::Completed)
        throw std::runtime_error(result.message.empty() ? "The run was cancelled."
                                                        : result.message);
    // A run that kept nothing says why, when the inputs tell; the result stands as it is.
    if (result.table.size() == 0) noteEmptyRun(inputs);
}

std::string runOptionsHelp() {
    // The defaults are the window's start-up inputs.
    const RunInputs in;
    const auto groups = groupsOfSystem(in.system);
    const std::string group(groups[static_cast<std::size_t>(in.groupPosition)].symbol);
    std::string anode = "US";
    for (std::size_t i = anodeTable().size(); i-- > 0;)
        if (wavelengthText(meanWavelength(static_cast<int>(i))) == in.wavelength)
            anode = anodeTable()[i].name;
    std::string limits;
    for (const std::string& limit : in.loopLimits) limits += (limits.empty() ? "" : ",") + limit;
    if (std::all_of(in.loopLimits.begin(), in.loopLimits.end(),
                    [&in](const std::string& limit) { return limit == in.loopLimits[0]; }))
        limits = in.loopLimits[0] + " each";
    const std::string convention =
        in.convention == MatrixConvention::Yamamoto ? "yamamoto" : "steurer";
    return std::string(R"(Run options (texts exactly as typed into the window's fields):
  --config FILE          start from the inputs kept in a Tesral.cfg file, read as
                         the window reads it; the options below override them
  --system octagonal|decagonal|dodecagonal|icosahedral   (default )") +
           systemName(in.system) + R"()
  --group SYMBOL         group symbol, e.g. P10/mmm
  --group-index N        position in the system's group list, from 0
                         (default: )" +
           group + R"( without --system, else the system's default)
  --convention yamamoto|steurer                          (default )" +
           convention + R"()
  --a TEXT               lattice constant a, angstrom    (default )" +
           in.a + R"()
  --c TEXT               lattice constant c, angstrom    (default )" +
           in.c + R"()
  --limits h1,h2,h3,h4,h5[,h6]   loop limits             (default )" +
           limits + R"()
  --thmin TEXT           theta minimum, degrees          (default )" +
           in.thetaMin + R"()
  --thmax TEXT           theta maximum, degrees          (default )" +
           in.thetaMax + R"()
  --qimax TEXT           largest perpendicular length qi (default )" +
           in.qiMax + R"()
  --anode Mo|Cu|Ni|Co|Fe|Cr|Ag|US   X-ray anode          (default )" +
           anode + R"()
  --wavelength TEXT      a typed wavelength, angstrom (as with the anode US)
  --max-rows N           refuse a run that may keep more than N reflections
                         (default )" +
           boxCountText(kDefaultMaxRows) + R"(: about 3 GB while the run works)
  --phason-strain m11,m12,...   a linear phason strain M (perpendicular x parallel),
                         row by row: 9 numbers icosahedral, 4 (in plane) axial;
                         positions use H|| - M^T H-perp (default: none, or the
                         model's [phason] strain)
  --approximant P/Q      the rational approximant's strain instead: icosahedral
                         1/1, 2/1, 3/2, 5/3, 8/5, ...; axial P/Q or P/Q,R/S along
                         the two in-plane axes (orthorhombic cell)
)";
}

}  // namespace tesral::cli
