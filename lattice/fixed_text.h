#pragma once

#include <string>

namespace tesral {

// Fixed-width text helpers shared by the report, the clipboard rows and the matrix text.

/** The text copied from the left into a field of `width` blanks; longer text is cut. */
std::string alignLeft(const std::string& text, int width);
/** The text flush right in a field of `width` blanks; longer text keeps its leftmost chars. */
std::string alignRight(const std::string& text, int width);
/** The text repeated n times; n <= 0 gives the empty text. */
std::string repeatText(const std::string& text, int n);

/**
 * A number with exactly `decimals` digits after the separator and at least one before it,
 * a leading minus for negatives, no grouping ("###0.00000" is decimals = 5, "###0" is 0).
 * A value that rounds to zero never shows a minus sign.
 */
std::string formatFixed(double value, int decimals, char separator = '.');

/** `value` through a printf pattern with one floating-point conversion ("%g", "%.6f"). */
std::string printedNumber(const char* pattern, double value);

}  // namespace tesral
