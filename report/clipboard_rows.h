#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "engine/reflection_table.h"
#include "report/report_columns.h"
#include "report/safe_file.h"

namespace tesral {

/**
 * The reflections as tab-separated rows for a spreadsheet: the number, then each shown
 * column, every field followed by a tab; lines end in CRLF. No header lines.
 */
std::string clipboardRows(const ReflectionTable& table, const ReportColumns& columns,
                          char decimalSeparator = '.');

/** Appends the line of reflection `number` (1-based), CRLF included. */
void appendClipboardRow(std::string& out, std::size_t number, const ReflectionRecord& row,
                        const ShownColumns& columns, char decimalSeparator = '.');

/**
 * Writes the rows of clipboardRows() to an opened file, formatted in blocks on all cores;
 * does not commit. False when a write failed (the reason is file.error()).
 */
bool writeClipboardRows(SafeFile& file, const ReflectionTable& table, const ReportColumns& columns,
                        char decimalSeparator = '.');

/** Writes the rows to `path` through SafeFile; returns the reason on failure. */
std::optional<std::string> writeClipboardRowsFile(const std::string& path,
                                                  const ReflectionTable& table,
                                                  const ReportColumns& columns,
                                                  char decimalSeparator = '.');

}  // namespace tesral
