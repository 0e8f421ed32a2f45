#pragma once

#include <QString>
#include <optional>

#include "app/whole_table_task.h"
#include "engine/reflection_table.h"
#include "report/report_columns.h"

namespace tesral {

/** The copied list: the clipboard's text, and why its file could not be written. */
struct CopiedList {
    QString text;
    std::optional<QString> writeError;
};

/**
 * The table's clipboard rows (clipboardRows()), formatted on all cores, written to `path`
 * through SafeFile and returned as text. Nothing when `progress` was cancelled; the file
 * then keeps its old bytes.
 */
std::optional<CopiedList> copyListRows(const ReflectionTable& table, const ReportColumns& columns,
                                       char decimalSeparator, const QString& path,
                                       TaskProgress& progress);

}  // namespace tesral
