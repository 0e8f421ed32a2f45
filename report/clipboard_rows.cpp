#include "clipboard_rows.h"

#include "lattice/fixed_text.h"

namespace tesral {

std::string clipboardRows(const ReflectionTable& table, const ReportColumns& columns,
                          char decimalSeparator) {
    std::string text;
    for (size_t i = 0; i < table.size(); ++i) {
        const ReflectionRecord& row = table[i];
        text += std::to_string(i + 1) + '\t';
        for (int c = 0; c < 6; ++c)
            if (columns.show[c]) text += formatFixed(row.v[c], 0, decimalSeparator) + '\t';
        for (int c = 6; c < 13; ++c)
            if (columns.show[c])
                text += formatFixed(columnValue(row, c), 5, decimalSeparator) + '\t';
        text += "\r\n";
    }
    return text;
}

}  // namespace tesral
