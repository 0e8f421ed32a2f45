#include "clipboard_rows.h"

#include "report/ordered_blocks.h"
#include "report/row_text.h"

namespace tesral {

void appendClipboardRow(std::string& out, std::size_t number, const ReflectionRecord& row,
                        const ShownColumns& columns, char decimalSeparator) {
    appendNumberLeft(out, number, 0);
    out += '\t';
    for (const ColumnFormat& column : columns) {
        appendFixed(out, columnValue(row, column), column.decimals, decimalSeparator);
        out += '\t';
    }
    out += "\r\n";
}

std::string clipboardRows(const ReflectionTable& table, const ReportColumns& columns,
                          char decimalSeparator) {
    const ShownColumns shown(columns);
    std::string text;
    for (size_t i = 0; i < table.size(); ++i)
        appendClipboardRow(text, i + 1, table[i], shown, decimalSeparator);
    return text;
}

bool writeClipboardRows(SafeFile& file, const ReflectionTable& table, const ReportColumns& columns,
                        char decimalSeparator) {
    return writeOrderedBlocks(
        file, table.size(),
        [&, shown = ShownColumns(columns)](std::string& out, std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i)
                appendClipboardRow(out, i + 1, table[i], shown, decimalSeparator);
        });
}

std::optional<std::string> writeClipboardRowsFile(const std::string& path,
                                                  const ReflectionTable& table,
                                                  const ReportColumns& columns,
                                                  char decimalSeparator) {
    SafeFile file;
    if (file.open(path) && writeClipboardRows(file, table, columns, decimalSeparator) &&
        file.commit())
        return std::nullopt;
    return file.error();
}

}  // namespace tesral
