#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "report/safe_file.h"

namespace tesral {

/** Appends the text of rows [begin, end) to `out`. Called from several threads at once. */
using BlockFormatter = std::function<void(std::string& out, std::size_t begin, std::size_t end)>;

/**
 * Formats rows [0, count) in blocks of `blockRows` on all cores and writes the blocks to
 * `file` in row order, holding a few blocks at a time. Stops at the first failed write and
 * returns false (the reason is file.error()). An exception from `format` is rethrown.
 */
bool writeOrderedBlocks(SafeFile& file, std::size_t count, const BlockFormatter& format,
                        std::size_t blockRows = 8192);

}  // namespace tesral
