#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "engine/reflection_table.h"
#include "engine/run_parameters.h"
#include "report/report_columns.h"
#include "report/safe_file.h"

namespace tesral {

/** Everything above the rows and how numbers are written. */
struct ReportOptions {
    ReportColumns columns;
    MatrixConvention convention = MatrixConvention::Yamamoto;  // "qe"/"qi" or "ve"/"vi"
    char decimalSeparator = '.';
};

/** The column heading line ("#" then the shown headings). */
std::string reportColumnHeader(const ReportOptions& options);

/** One fixed-column row for reflection number `number` (1-based). */
std::string reportRow(int number, const ReflectionRecord& row, const ReportOptions& options);

/** Appends the row of reportRow() to `out`, without a line end. */
void appendReportRow(std::string& out, std::size_t number, const ReflectionRecord& row,
                     const ReportOptions& options);

/** appendReportRow() with the shown columns looked up once for many rows. */
void appendReportRow(std::string& out, std::size_t number, const ReflectionRecord& row,
                     const ShownColumns& columns, char decimalSeparator);

/** Writes the whole report, every line ended by CRLF. */
void writeReport(std::ostream& out, const ReflectionTable& table, const RunHeader& header,
                 const ReportOptions& options);

/**
 * Writes the whole report to an opened file, the rows formatted in blocks on all cores;
 * does not commit. False when a write failed (the reason is file.error()).
 */
bool writeReport(SafeFile& file, const ReflectionTable& table, const RunHeader& header,
                 const ReportOptions& options);

/** The reason a report write gives when it was asked to stop. */
inline const std::string kWriteStoppedMessage = "the writing was stopped";

/**
 * Writes the report to `path` through SafeFile; returns the reason on failure. When `stop`
 * becomes true (it is read before each block of rows) the write ends with
 * kWriteStoppedMessage and the old file stays. `accept` is passed to SafeFile::open.
 * `rowsFormatted`, when given, hears of each block of rows once it is formatted, from any
 * thread; the counts add up to the table's size.
 */
std::optional<std::string> writeReportFile(
    const std::string& path, const ReflectionTable& table, const RunHeader& header,
    const ReportOptions& options, const std::atomic<bool>* stop = nullptr,
    SafeFile::Accept accept = SafeFile::Accept::AnyFile,
    const std::function<void(std::size_t rows)>& rowsFormatted = {});

}  // namespace tesral
