#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/run_parameters.h"
#include "report/report_writer.h"

namespace tesral {

/**
 * The seven lines above the rows of a report: the count, the lattice line, the limits
 * line, an empty line and the column header between two rules; eight with a model's line
 * under the limits. No line ends are included.
 */
std::vector<std::string> reportHeadLines(std::size_t reflectionCount, const RunHeader& header,
                                         const ReportOptions& options);

}  // namespace tesral
