#pragma once

#include <cstddef>
#include <vector>

namespace tesral {

/** Lines of a printed list that fit on a page `pageHeight` high, `lineSpacing` apart (one unit); at
 * least one. */
std::size_t linesPerPage(double pageHeight, double lineSpacing);

/** One printed page of the list: the lines [firstLine, firstLine + lineCount). */
struct ListPage {
    std::size_t firstLine = 0;
    std::size_t lineCount = 0;

    bool operator==(const ListPage&) const = default;
};

/** The pages of a list of `lines` lines, `perPage` to a full page; none for no lines. */
std::vector<ListPage> listPages(std::size_t lines, std::size_t perPage);

}  // namespace tesral
