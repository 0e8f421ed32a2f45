#include "report/report_search.h"

#include <algorithm>
#include <thread>

#include "engine/fan_out.h"
#include "report/text_search.h"

namespace tesral {

namespace {

bool holdsLineEnd(std::string_view needle) {
    return needle.find_first_of("\r\n") != std::string_view::npos;
}

/** The first match in `text` at or after byte `from`, as a place; lines counted from `line`. */
std::optional<TextPlace> placeOfMatch(std::string_view text, std::string_view needle,
                                      std::size_t from, std::size_t line) {
    if (from >= text.size()) return std::nullopt;
    const long long hit = findIgnoringCase(text, needle, static_cast<long long>(from));
    if (hit < 0) return std::nullopt;
    const auto at = static_cast<std::size_t>(hit);
    const std::string_view before = text.substr(0, at);
    const auto lines = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    const std::size_t lineStart =
        before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
    return TextPlace{line + lines, at - lineStart};
}

/** Rows formatted and searched at once by one thread. */
constexpr std::size_t kBlockRows = 16384;

}  // namespace

std::optional<TextPlace> findInText(std::string_view text, std::string_view needle,
                                    TextPlace from) {
    if (needle.empty() || holdsLineEnd(needle)) return std::nullopt;
    std::size_t start = 0;
    for (std::size_t line = 0; line < from.line; ++line) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) return std::nullopt;
        start = end + 1;
    }
    const std::size_t lineEnd = std::min(text.find('\n', start), text.size());
    const std::size_t column = std::min(from.column, lineEnd - start);
    return placeOfMatch(text.substr(start), needle, column, from.line);
}

std::optional<TextPlace> findInReport(const std::vector<std::string>& headLines,
                                      const ReflectionTable& table, const ReportOptions& options,
                                      std::string_view needle, TextPlace from,
                                      const SearchProgress& progress) {
    if (needle.empty() || holdsLineEnd(needle)) return std::nullopt;
    for (std::size_t line = from.line; line < headLines.size(); ++line) {
        const std::size_t column = line == from.line ? from.column : 0;
        if (auto hit = placeOfMatch(headLines[line], needle, column, line)) return hit;
    }
    // Rows as lines ended by LF, a block per thread; the first block with a hit wins.
    const std::size_t firstRow = from.line > headLines.size() ? from.line - headLines.size() : 0;
    const std::size_t firstColumn = from.line >= headLines.size() ? from.column : 0;
    const std::size_t workers = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::optional<TextPlace>> hits(workers);
    const auto searchBlock = [&](std::size_t worker, std::size_t begin) {
        hits[worker].reset();
        const std::size_t end = std::min(table.size(), begin + kBlockRows);
        if (begin >= end) return;
        const ShownColumns columns(options.columns);
        std::string text;
        std::size_t start = 0;  // where the search starts: past the first row's column
        for (std::size_t row = begin; row < end; ++row) {
            const std::size_t lineStart = text.size();
            appendReportRow(text, row + 1, table[row], columns, options.decimalSeparator);
            if (row == firstRow) start = std::min(lineStart + firstColumn, text.size());
            text += '\n';
        }
        hits[worker] = placeOfMatch(text, needle, start, headLines.size() + begin);
    };
    for (std::size_t round = firstRow; round < table.size(); round += workers * kBlockRows) {
        fanOut(
            workers - 1, [&](std::size_t w) { searchBlock(w + 1, round + (w + 1) * kBlockRows); },
            [&] { searchBlock(0, round); });
        for (const std::optional<TextPlace>& hit : hits)
            if (hit) return hit;
        const std::size_t done = std::min(table.size(), round + workers * kBlockRows) - firstRow;
        if (progress && !progress(done, table.size() - firstRow)) return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace tesral
