#pragma once

#include <ostream>
#include <string>

#include "engine/reflection_table.h"
#include "engine/run_parameters.h"
#include "report/report_columns.h"

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

/** Writes the whole report, every line ended by CRLF. */
void writeReport(std::ostream& out, const ReflectionTable& table, const RunHeader& header,
                 const ReportOptions& options);

}  // namespace tesral
