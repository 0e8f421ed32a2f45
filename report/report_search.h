#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/reflection_table.h"
#include "report/report_writer.h"

namespace tesral {

/** A place in a report's text: a line (0-based, the head lines first) and a byte in it. */
struct TextPlace {
    std::size_t line = 0;
    std::size_t column = 0;
    bool operator==(const TextPlace&) const = default;
};

// Both searches ignore the letter case of ASCII letters and find a match that starts at or
// after `from`. A match never spans a line end, so a needle holding one finds nothing.

/** Searches a text of lines that end in LF or CRLF (the list file). */
std::optional<TextPlace> findInText(std::string_view text, std::string_view needle, TextPlace from);

/**
 * Told the rows searched so far and the rows to search; returning false stops the search,
 * which then finds nothing.
 */
using SearchProgress = std::function<bool(std::size_t done, std::size_t total)>;

/**
 * Searches the report of `table` under its head lines (the list file's lines without their
 * line ends), formatting the rows a block at a time on all cores; the whole text is never
 * built.
 */
std::optional<TextPlace> findInReport(const std::vector<std::string>& headLines,
                                      const ReflectionTable& table, const ReportOptions& options,
                                      std::string_view needle, TextPlace from,
                                      const SearchProgress& progress = {});

}  // namespace tesral
