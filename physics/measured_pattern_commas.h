#pragma once

// Whether the commas of a measured file stand between columns or in numbers ("42,875").

#include <string>
#include <string_view>

namespace tesral::physics {

struct CommaUse {
    enum Kind { Separators, Decimal, Unclear } kind = Separators;
    /** Unclear: the first line that could be read either way, and its text. */
    int line = 0;
    std::string text;
};

/**
 * How the commas of `text` (a measured file, comments and all) are meant. A comma beside a
 * point in one number ("42.875,100"), beside a blank or a word ("2theta,I") separates
 * columns. Commas alone between digits ("42,875 100,0", "42,875;100,0") are decimal commas
 * when each such line has its columns apart by blanks or semicolons too; a line such as
 * "42,875" alone could be either, and is unclear.
 */
CommaUse commaUse(std::string_view text);

}  // namespace tesral::physics
