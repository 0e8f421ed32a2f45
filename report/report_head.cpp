#include "report/report_head.h"

#include "lattice/fixed_text.h"

namespace tesral {

std::vector<std::string> reportHeadLines(std::size_t reflectionCount, const RunHeader& header,
                                         const ReportOptions& options) {
    const std::string columns = reportColumnHeader(options);
    const std::string rule = repeatText("-", static_cast<int>(columns.size()));
    std::vector<std::string> lines{
        "TESRAL REPORT - " + std::to_string(reflectionCount) + " reflections",
        header.groupText + ", " + header.latticeText, header.limitsText};
    if (!header.modelText.empty()) lines.push_back(header.modelText);
    if (!header.strainText.empty()) lines.push_back(header.strainText);
    lines.insert(lines.end(), {std::string(), rule, columns, rule});
    return lines;
}

}  // namespace tesral
