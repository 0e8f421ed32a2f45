#pragma once

// The column names a user lists (the command line's --columns, the Python writers' columns=).

#include <optional>
#include <string>
#include <vector>

#include "report/report_columns.h"

namespace tesral {

/**
 * Choices from names among indices, theta, d, qeqi, xyz, hperp and intensity; the one name
 * "none" shows no column. Nothing when a name is unknown, which `unknown` then holds.
 */
std::optional<ColumnChoices> columnChoicesNamed(const std::vector<std::string>& names,
                                                std::string& unknown);

}  // namespace tesral
