#include "row_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "lattice/fixed_text.h"

namespace tesral {
namespace {

constexpr std::uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

/**
 * Writes the number into `buffer` (at least 64 bytes); returns its length, or 0 when the
 * value needs the general path. A float is m * 2^e exactly, so value * 10^decimals is
 * rounded in integers, to the nearest and ties to even, as std::to_chars rounds.
 */
int fixedDigits(char* buffer, float value, int decimals, char separator) {
    if (decimals < 0 || decimals > 7 || !std::isfinite(value)) return 0;
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    const std::uint32_t biased = (bits >> 23) & 0xff;
    const std::uint64_t m = biased == 0 ? (bits & 0x7fffff) : ((bits & 0x7fffff) | 0x800000);
    const int e = biased == 0 ? -149 : static_cast<int>(biased) - 150;
    const std::uint64_t scaled = m * kPowersOfTen[decimals];  // below 2^48
    std::uint64_t q = 0;
    if (e >= 0) {
        if (e > 15) return 0;  // beyond 2^63
        q = scaled << e;
    } else if (-e < 64) {
        const int s = -e;
        q = scaled >> s;
        const std::uint64_t rest = scaled & ((std::uint64_t{1} << s) - 1);
        const std::uint64_t half = std::uint64_t{1} << (s - 1);
        if (rest > half || (rest == half && (q & 1))) ++q;
    }  // else below 2^-64 * 2^48: rounds to 0

    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + q % 10);
        q /= 10;
    } while (q != 0);
    const bool zero = n == 1 && digits[0] == '0';
    while (n < decimals + 1) digits[n++] = '0';

    int length = 0;
    if ((bits >> 31) && !zero) buffer[length++] = '-';
    for (int i = n - 1; i >= 0; --i) {
        if (i == decimals - 1) buffer[length++] = separator;
        buffer[length++] = digits[i];
    }
    return length;
}

void appendField(std::string& out, const char* text, std::size_t length, int width) {
    const std::size_t w = static_cast<std::size_t>(width);
    if (length >= w) {
        out.append(text, w);
    } else {
        out.append(w - length, ' ');
        out.append(text, length);
    }
}

}  // namespace

void appendFixedRight(std::string& out, float value, int decimals, char separator, int width) {
    if (width <= 0) return;
    char buffer[64];
    if (const int n = fixedDigits(buffer, value, decimals, separator); n > 0) {
        appendField(out, buffer, static_cast<std::size_t>(n), width);
    } else {
        const std::string text = formatFixed(value, decimals, separator);
        appendField(out, text.data(), text.size(), width);
    }
}

void appendFixed(std::string& out, float value, int decimals, char separator) {
    char buffer[64];
    if (const int n = fixedDigits(buffer, value, decimals, separator); n > 0)
        out.append(buffer, static_cast<std::size_t>(n));
    else
        out += formatFixed(value, decimals, separator);
}

void appendNumberLeft(std::string& out, std::size_t number, int width) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
    const std::size_t length = static_cast<std::size_t>(end - buffer);
    out.append(buffer, length);
    if (length < static_cast<std::size_t>(width)) out.append(width - length, ' ');
}

}  // namespace tesral
