#include "number_reader.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

namespace tesral {
namespace {

bool isDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

/** The number read and whether it took the whole text. */
struct Scan {
    double value = 0.0;
    bool whole = false;
};

Scan readPrefixed(const std::string& s, int base) {
    Scan scan;
    size_t i = 2;
    for (; i < s.size(); ++i) {
        const char ch = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
        int digit = -1;
        if (isDigit(ch))
            digit = ch - '0';
        else if (base == 16 && ch >= 'A' && ch <= 'F')
            digit = ch - 'A' + 10;
        if (digit < 0 || digit >= base) break;
        scan.value = scan.value * base + digit;
    }
    scan.whole = i > 2 && i == s.size();
    return scan;
}

Scan scanNumber(std::string_view text) {
    std::string s;
    for (const char ch : text)
        if (ch != ' ' && ch != '\t' && ch != '\n') s += ch;

    if (s.size() >= 2 && s[0] == '&') {
        const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        if (kind == 'H') return readPrefixed(s, 16);
        if (kind == 'O') return readPrefixed(s, 8);
        return {};
    }

    // Find the longest prefix of the form [sign] digits [. digits] [(E|D) [sign] digits].
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t mantissaDigits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++mantissaDigits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return {};
    size_t end = i;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        const size_t digitsStart = j;
        while (j < s.size() && isDigit(s[j])) ++j;
        if (j > digitsStart) end = j;
    }
    // from_chars reads without regard to the process locale; it takes no leading "+".
    std::string number = s.substr(s[0] == '+' ? 1 : 0, end - (s[0] == '+' ? 1 : 0));
    for (char& ch : number)
        if (ch == 'D' || ch == 'd') ch = 'E';
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        const bool negative = number[0] == '-';
        const bool tiny = number.find("E-") != std::string::npos;
        value = tiny ? 0.0 : HUGE_VAL;
        if (negative) value = -value;
    }
    return {value, end == s.size()};
}

}  // namespace

double readNumber(std::string_view text) {
    return scanNumber(text).value;
}

bool isNumberText(std::string_view text) {
    return scanNumber(text).whole;
}

double roundHalfEven(double value) {
    return std::nearbyint(value);
}

std::optional<int> readLoopLimit(std::string_view text) {
    const double rounded = roundHalfEven(readNumber(text));
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) return std::nullopt;
    return static_cast<int>(rounded);
}

}  // namespace tesral
