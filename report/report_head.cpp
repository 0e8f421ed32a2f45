#include "report/report_head.h"

#include "lattice/fixed_text.h"

namespace tesral {

std::vector<std::string> reportHeadLines(std::size_t reflectionCount, const RunHeader& header,
                                         const ReportOptions& options) {
    const std::string columns = reportColumnHeader(options);
    const std::string rule = repeatText("-", static_cast<int>(columns.size()));
    return {"TESRAL REPORT - " + std::to_string(reflectionCount) + " reflections",
            header.groupText + ", " + header.latticeText,
            header.limitsText,
            std::string(),
            rule,
            columns,
            rule};
}

}  // namespace tesral
