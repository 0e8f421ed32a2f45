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

/** "00" "01" ... "99": two digits per division. */
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

/** Writes the digits of q backwards, ending at `end`, at least `minimum` of them. */
template <typename Unsigned>
char* digitsBackward(char* end, Unsigned q, int minimum) {
    char* p = end;
    while (q >= 100) {
        const auto pair = static_cast<std::size_t>(q % 100) * 2;
        q /= 100;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    }
    if (q >= 10) {
        const auto pair = static_cast<std::size_t>(q) * 2;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    } else {
        *--p = static_cast<char>('0' + q);
    }
    while (end - p < minimum) *--p = '0';
    return p;
}

/**
 * Writes the number backwards so that it ends at `end` (at least 64 bytes before it are
 * free); returns where it starts, or null when the value needs the general path. A float is
 * m * 2^e exactly, so value * 10^decimals is rounded in integers, to the nearest and ties to
 * even, as std::to_chars rounds.
 */
char* fixedDigits(char* end, float value, int decimals, char separator) {
    if (decimals < 0 || decimals > 7 || !std::isfinite(value)) return nullptr;
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    const std::uint32_t biased = (bits >> 23) & 0xff;
    const std::uint64_t m = biased == 0 ? (bits & 0x7fffff) : ((bits & 0x7fffff) | 0x800000);
    const int e = biased == 0 ? -149 : static_cast<int>(biased) - 150;
    const std::uint64_t scaled = m * kPowersOfTen[decimals];  // below 2^48
    std::uint64_t q = 0;
    if (e >= 0) {
        if (e > 15) return nullptr;  // beyond 2^63
        q = scaled << e;
    } else if (-e < 64) {
        const int s = -e;
        q = scaled >> s;
        const std::uint64_t rest = scaled & ((std::uint64_t{1} << s) - 1);
        const std::uint64_t half = std::uint64_t{1} << (s - 1);
        if (rest > half || (rest == half && (q & 1))) ++q;
    }  // else below 2^-64 * 2^48: rounds to 0

    const bool zero = q == 0;
    char* p = end;
    if (decimals > 0) {
        const std::uint64_t unit = kPowersOfTen[decimals];
        const std::uint64_t whole = q / unit;
        const std::uint64_t fraction = q - whole * unit;
        p = digitsBackward(p, static_cast<std::uint32_t>(fraction), decimals);
        *--p = separator;
        p = whole <= UINT32_MAX ? digitsBackward(p, static_cast<std::uint32_t>(whole), 1)
                                : digitsBackward(p, whole, 1);
    } else {
        p = digitsBackward(p, q, 1);
    }
    if ((bits >> 31) && !zero) *--p = '-';
    return p;
}

/** Copies the text flush right into `width` bytes at `out` (cut when longer). */
void placeField(char* out, const char* text, std::size_t length, std::size_t width) {
    if (length >= width) {
        std::memcpy(out, text, width);
    } else {
        std::memset(out, ' ', width - length);
        std::memcpy(out + (width - length), text, length);
    }
}

}  // namespace

std::size_t writeFixedRight(char* out, float value, int decimals, char separator, int width) {
    if (width <= 0) return 0;
    const auto w = static_cast<std::size_t>(width);
    char buffer[64];
    char* end = buffer + sizeof buffer;
    if (const char* start = fixedDigits(end, value, decimals, separator)) {
        placeField(out, start, static_cast<std::size_t>(end - start), w);
    } else {
        const std::string text = formatFixed(value, decimals, separator);
        placeField(out, text.data(), text.size(), w);
    }
    return w;
}

void appendFixedRight(std::string& out, float value, int decimals, char separator, int width) {
    if (width <= 0) return;
    const std::size_t old = out.size();
    out.resize(old + static_cast<std::size_t>(width));
    writeFixedRight(out.data() + old, value, decimals, separator, width);
}

void appendFixed(std::string& out, float value, int decimals, char separator) {
    char buffer[64];
    char* end = buffer + sizeof buffer;
    if (const char* start = fixedDigits(end, value, decimals, separator))
        out.append(start, static_cast<std::size_t>(end - start));
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
