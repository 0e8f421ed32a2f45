#pragma once

#include <cstddef>
#include <string>

namespace tesral {

// Row fields appended to a reused buffer, byte for byte as formatFixed / alignLeft /
// alignRight of lattice/fixed_text.h write them, without building strings per field.

/**
 * formatFixed(value, decimals, separator) flush right in `width` blanks (cut when longer),
 * written to the `width` bytes at `out`; returns the bytes written.
 */
std::size_t writeFixedRight(char* out, float value, int decimals, char separator, int width);

/** formatFixed(value, decimals, separator) flush right in `width` blanks (cut when longer). */
void appendFixedRight(std::string& out, float value, int decimals, char separator, int width);

/** formatFixed(value, decimals, separator). */
void appendFixed(std::string& out, float value, int decimals, char separator);

/** The decimal number flush left in max(width, its length) blanks. */
void appendNumberLeft(std::string& out, std::size_t number, int width);

}  // namespace tesral
