#pragma once

#include <string_view>

namespace tesral {

/**
 * The 0-based position of the first occurrence of `needle` in `text` at or after `from`,
 * ignoring the letter case of ASCII letters; -1 when there is none or `needle` is empty.
 */
long long findIgnoringCase(std::string_view text, std::string_view needle, long long from);

}  // namespace tesral
