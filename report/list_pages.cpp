#include "report/list_pages.h"

#include <algorithm>
#include <cmath>

namespace tesral {

std::size_t linesPerPage(double pageHeight, double lineSpacing) {
    if (!(lineSpacing > 0.0) || !(pageHeight >= lineSpacing)) return 1;
    return static_cast<std::size_t>(std::floor(pageHeight / lineSpacing));
}

std::vector<ListPage> listPages(std::size_t lines, std::size_t perPage) {
    perPage = std::max<std::size_t>(perPage, 1);
    std::vector<ListPage> pages;
    pages.reserve((lines + perPage - 1) / perPage);
    for (std::size_t first = 0; first < lines; first += perPage)
        pages.push_back({first, std::min(perPage, lines - first)});
    return pages;
}

}  // namespace tesral
