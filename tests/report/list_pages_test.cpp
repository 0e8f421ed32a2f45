// Which lines of the reflection list go on which printed page.

#include "report/list_pages.h"

#include <gtest/gtest.h>

namespace tesral {
namespace {

TEST(ListPages, LinesPerPageIsWholeLinesAndAtLeastOne) {
    const struct {
        double height, spacing;
        std::size_t lines;
    } cases[] = {
        {100.0, 12.0, 8}, {96.0, 12.0, 8}, {5.0, 12.0, 1}, {100.0, 0.0, 1}, {0.0, 12.0, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(linesPerPage(c.height, c.spacing), c.lines) << c.height << " / " << c.spacing;
}

TEST(ListPages, FullPagesThenTheRest) {
    using Pages = std::vector<ListPage>;
    EXPECT_EQ(listPages(0, 5), Pages{});
    EXPECT_EQ(listPages(5, 5), (Pages{{0, 5}}));
    EXPECT_EQ(listPages(11, 5), (Pages{{0, 5}, {5, 5}, {10, 1}}));
    EXPECT_EQ(listPages(3, 0), (Pages{{0, 1}, {1, 1}, {2, 1}}));
}

}  // namespace
}  // namespace tesral
