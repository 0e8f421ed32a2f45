#include "report/large_run.h"

#include <algorithm>
#include <string>

namespace tesral {

RunNeeds runNeeds(BoxCount rowBound, const ReportOptions& options) {
    RunNeeds needs;
    needs.rows = rowBound;
    needs.memoryBytes = rowBound * kBytesPerShownRow;
    // Every list row is as wide as the widest row number makes it, with its CRLF.
    std::string row;
    appendReportRow(row, static_cast<std::size_t>(std::min<BoxCount>(rowBound, SIZE_MAX)),
                    ReflectionRecord{}, options);
    needs.diskBytes = rowBound * (row.size() + 2);
    return needs;
}

bool isLargeRun(const RunNeeds& needs, std::optional<std::uint64_t> freeMemory,
                std::optional<std::uint64_t> freeDisk, BoxCount askAbove) {
    return needs.rows > askAbove || (freeMemory && needs.memoryBytes > BoxCount{*freeMemory}) ||
           (freeDisk && needs.diskBytes > BoxCount{*freeDisk});
}

}  // namespace tesral
