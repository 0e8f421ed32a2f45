#include "cli/commands.h"
#include "cli/model_options.h"
#include "cli/output.h"
#include "cli/run_options.h"
#include "report/clipboard_rows.h"
#include "report/report_writer.h"

namespace tesral::cli {
namespace {

KnownOptions tableOptions() {
    KnownOptions known;
    known.valued = runOptionNames();
    for (std::string& name : modelOptionNames()) known.valued.push_back(std::move(name));
    known.valued.emplace_back("columns");
    known.valued.emplace_back("output");
    return known;
}

const char* kTableOptionsHelp = R"(Output options:
  --columns LIST         any of indices,theta,d,qeqi,xyz,hperp,intensity,hkl, or none
                         (default indices,theta,d,qeqi,xyz); hperp is |H-perp| in 1/A,
                         intensity the relative intensity of a model (100 = strongest),
                         hkl the approximant cell's indices (with --approximant)
  --output FILE          write to FILE instead of standard output ("-")
)";

}  // namespace

int reportCommand(const std::vector<std::string>& args) {
    const Options options(args, tableOptions());
    const RunInputs inputs = runInputsFrom(options);
    const std::optional<physics::StructureModel> model = modelFrom(options, inputs.system);
    ReportColumns columns = reportColumnsFrom(options, indexDimensionOf(inputs.system));
    RunResult result;
    // A failed run leaves an existing output file untouched.
    runForCommand(inputs, model, maxRowsFrom(options), result);
    columns.hPerpScale = perpendicularLengthScale(result.parameters);
    columns.takeCellIndices(result.parameters);
    const ReportOptions report{columns, inputs.convention, '.'};
    writeOutput(options, [&](SafeFile& file) {
        return writeReport(file, result.table, result.header, report);
    });
    return 0;
}

int listCommand(const std::vector<std::string>& args) {
    const Options options(args, tableOptions());
    const RunInputs inputs = runInputsFrom(options);
    const std::optional<physics::StructureModel> model = modelFrom(options, inputs.system);
    ReportColumns columns = reportColumnsFrom(options, indexDimensionOf(inputs.system));
    RunResult result;
    runForCommand(inputs, model, maxRowsFrom(options), result);
    columns.hPerpScale = perpendicularLengthScale(result.parameters);
    columns.takeCellIndices(result.parameters);
    writeOutput(options, [&](SafeFile& file) {
        return writeClipboardRows(file, result.table, columns, '.');
    });
    return 0;
}

std::string reportHelp() {
    return std::string(
               "tesral-cli report [options]\n"
               "Runs the generation and writes the fixed-column report (.hkl).\n\n") +
           runOptionsHelp() + modelOptionsHelp() + kTableOptionsHelp;
}

std::string listHelp() {
    return std::string(
               "tesral-cli list [options]\n"
               "Runs the generation and writes the tab-separated rows of the list\n"
               "(number, then each shown column, each followed by a tab).\n\n") +
           runOptionsHelp() + modelOptionsHelp() + kTableOptionsHelp;
}

}  // namespace tesral::cli
