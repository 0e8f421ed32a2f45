#pragma once

#include <string>

#include "engine/reflection_table.h"
#include "report/report_columns.h"

namespace tesral {

/**
 * The reflections as tab-separated rows for a spreadsheet: the number, then each shown
 * column, every field followed by a tab; lines end in CRLF. No header lines.
 */
std::string clipboardRows(const ReflectionTable& table, const ReportColumns& columns,
                          char decimalSeparator = '.');

}  // namespace tesral
