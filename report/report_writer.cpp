#include "report_writer.h"

#include <algorithm>

#include "lattice/fixed_text.h"

namespace tesral {
namespace {

constexpr const char* kHeadings[13] = {"h1", "h2", "h3", "h4", "h5", "h6", "Theta",
                                       "d",  "qe", "qi", "x",  "y",  "z"};

std::string heading(int column, MatrixConvention convention) {
    if (convention == MatrixConvention::Steurer) {
        if (column == 8) return "ve";
        if (column == 9) return "vi";
    }
    return kHeadings[column];
}

}  // namespace

std::string reportColumnHeader(const ReportOptions& options) {
    std::string line = alignLeft("#", 5);
    for (int c = 0; c < 13; ++c) {
        if (options.columns.show[c])
            line += alignRight(heading(c, options.convention), c < 6 ? 4 : 10);
    }
    return line;
}

std::string reportRow(int number, const ReflectionRecord& row, const ReportOptions& options) {
    // A number wider than its field widens the field rather than losing digits.
    std::string line =
        alignLeft(std::to_string(number), std::max<int>(5, std::to_string(number).size()));
    for (int c = 0; c < 6; ++c) {
        if (options.columns.show[c])
            line += alignRight(formatFixed(row.v[c], 0, options.decimalSeparator), 4);
    }
    for (int c = 6; c < 13; ++c) {
        if (options.columns.show[c])
            line += alignRight(formatFixed(columnValue(row, c), 5, options.decimalSeparator), 10);
    }
    return line;
}

void writeReport(std::ostream& out, const ReflectionTable& table, const RunHeader& header,
                 const ReportOptions& options) {
    const std::string columnHeader = reportColumnHeader(options);
    const std::string rule = repeatText("-", static_cast<int>(columnHeader.size()));
    out << "TESRAL REPORT - " << table.size() << " reflections\r\n";
    out << header.groupText << ", " << header.latticeText << "\r\n";
    out << header.limitsText << "\r\n";
    out << "\r\n";
    out << rule << "\r\n" << columnHeader << "\r\n" << rule << "\r\n";
    for (size_t i = 0; i < table.size(); ++i)
        out << reportRow(static_cast<int>(i + 1), table[i], options) << "\r\n";
}

}  // namespace tesral
