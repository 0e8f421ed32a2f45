#include "fixed_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace tesral {

std::string alignLeft(const std::string& text, int width) {
    if (width <= 0) return {};
    std::string field(width, ' ');
    field.replace(0, std::min<size_t>(text.size(), width), text, 0, width);
    return field;
}

std::string alignRight(const std::string& text, int width) {
    if (width <= 0) return {};
    if (text.size() >= static_cast<size_t>(width)) return text.substr(0, width);
    return std::string(width - text.size(), ' ') + text;
}

std::string repeatText(const std::string& text, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += text;
    return out;
}

std::string formatFixed(double value, int decimals, char separator) {
    // to_chars ignores the process locale; the separator is applied below.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    if (separator != '.') {
        const auto dot = text.find('.');
        if (dot != std::string::npos) text[dot] = separator;
    }
    return text;
}

std::string printedNumber(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

}  // namespace tesral
