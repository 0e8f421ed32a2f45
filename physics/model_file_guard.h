#pragma once

// What a model text must keep to before the TOML parser sees it, and the parser's messages
// in the program's own words.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tesral::physics {

/** Model files above this size are refused: a model is a few sites. */
constexpr std::size_t kLargestModelFile = 10u * 1000 * 1000;
/** Longer lines are refused; the longest line of a model is a position list. */
constexpr std::size_t kLongestModelLine = 10000;
/** Keys and table headers of more dotted parts are refused (the format uses one). */
constexpr int kMostKeyParts = 8;
/** Lists and inline tables nested deeper are refused (a position list is one deep). */
constexpr int kDeepestNesting = 8;

/** What a text breaks of the bounds above, at a line (0: the whole text). */
struct TextFault {
    int line = 0;
    std::string what;
};

/**
 * The first bound `text` breaks: its size, a line's length, a key's dotted parts, the nesting
 * of values, or a table header that names no table ("[[[" would trip the parser's own
 * assertions). Nothing when the parser may read it. Linear in the text's length.
 */
std::optional<TextFault> modelTextFault(std::string_view text);

/**
 * `text` as a message shows it: control characters escaped ("\\n", "\\x01") so that it
 * stays on one line, and a text longer than `longest` cut in the middle ("abc...xyz").
 */
std::string echoed(std::string_view text, std::size_t longest = 80);

/** A message of the TOML parser ("Error while parsing key: expected ...") in our words. */
std::string parserMessage(std::string_view raw);

}  // namespace tesral::physics
