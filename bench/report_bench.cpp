// Writing the box-bound report (octagonal, limits 8, theta up to 180, qi unbounded:
// 1,419,800 rows, 139 MB): the block writer against the per-row writer it replaced.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>

#include "engine/generation.h"
#include "engine/groups.h"
#include "lattice/fixed_text.h"
#include "report/clipboard_rows.h"
#include "report/report_writer.h"

using namespace tesral;

namespace {

const RunResult& boxBoundRun() {
    static const RunResult result = [] {
        RunInputs inputs;
        inputs.system = QuasicrystalSystem::Octagonal;
        inputs.groupPosition = defaultGroupPosition(inputs.system);
        inputs.loopLimits = {"8", "8", "8", "8", "8", "8"};
        inputs.thetaMax = "180";
        inputs.qiMax = "1E9";
        return runGeneration(inputs);
    }();
    return result;
}

const ReportOptions kAllColumns{ReportColumns::all(5)};

// The per-row writer as it was: each row built from one string per field.
std::string perRowReportRow(int number, const ReflectionRecord& row, const ReportOptions& options) {
    std::string line =
        alignLeft(std::to_string(number), std::max<int>(5, std::to_string(number).size()));
    for (const ColumnFormat& column : kColumnFormats) {
        if (options.columns.shows(column.element))
            line += alignRight(
                formatFixed(columnValue(row, column), column.decimals, options.decimalSeparator),
                column.width);
    }
    return line;
}

void perRowWriteReport(std::ostream& out, const ReflectionTable& table, const RunHeader& header,
                       const ReportOptions& options) {
    const std::string columnHeader = reportColumnHeader(options);
    const std::string rule = repeatText("-", static_cast<int>(columnHeader.size()));
    out << "TESRAL REPORT - " << table.size() << " reflections\r\n";
    out << header.groupText << ", " << header.latticeText << "\r\n";
    out << header.limitsText << "\r\n";
    out << "\r\n";
    out << rule << "\r\n" << columnHeader << "\r\n" << rule << "\r\n";
    for (size_t i = 0; i < table.size(); ++i)
        out << perRowReportRow(static_cast<int>(i + 1), table[i], options) << "\r\n";
}

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 139460657);
}

void PerRowWriter(benchmark::State& state) {
    const RunResult& run = boxBoundRun();
    for (auto _ : state) {
        std::ofstream out("/dev/null", std::ios::binary);
        perRowWriteReport(out, run.table, run.header, kAllColumns);
    }
    setBytes(state);
}
BENCHMARK(PerRowWriter)->Unit(benchmark::kMillisecond)->UseRealTime();

void BlockWriterOneThread(benchmark::State& state) {
    const RunResult& run = boxBoundRun();
    for (auto _ : state) {
        std::ofstream out("/dev/null", std::ios::binary);
        writeReport(out, run.table, run.header, kAllColumns);
    }
    setBytes(state);
}
BENCHMARK(BlockWriterOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

void BlockWriterAllCores(benchmark::State& state) {
    const RunResult& run = boxBoundRun();
    for (auto _ : state) {
        const auto error = writeReportFile("/dev/null", run.table, run.header, kAllColumns);
        if (error) state.SkipWithError(error->c_str());
    }
    setBytes(state);
}
BENCHMARK(BlockWriterAllCores)->Unit(benchmark::kMillisecond)->UseRealTime();

void ListAllCores(benchmark::State& state) {
    const RunResult& run = boxBoundRun();
    for (auto _ : state) {
        const auto error = writeClipboardRowsFile("/dev/null", run.table, kAllColumns.columns);
        if (error) state.SkipWithError(error->c_str());
    }
}
BENCHMARK(ListAllCores)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
