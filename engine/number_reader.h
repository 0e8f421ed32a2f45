#pragma once

#include <optional>
#include <string_view>

namespace tesral {

/**
 * Reads the leading number of a typed text. Blanks, tabs and line feeds are ignored
 * anywhere; the longest leading part that forms a number is taken (sign, digits, one "."
 * whatever the locale, exponent after E or D; or &H hex / &O octal integers). A text
 * without such a part gives 0. An overflowing exponent gives an infinity.
 */
double readNumber(std::string_view text);

/**
 * Whether readNumber takes the whole text (blanks aside): "0.7", "1E3" and "&H1F" are
 * numbers; "0,7", "abc", "2x" and an empty text are not.
 */
bool isNumberText(std::string_view text);

/** Rounds to the nearest integer, halves to the even neighbour. */
double roundHalfEven(double value);

/** A loop limit: readNumber rounded half to even; nothing when outside -32768..32767. */
std::optional<int> readLoopLimit(std::string_view text);

}  // namespace tesral
