#include "physics/measured_pattern_commas.h"

namespace tesral::physics {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == ';' || c == '\r';
}

/** What one line says: commas that must separate, decimal-looking commas, or none. */
enum class LineCommas { None, Separating, Decimal, DecimalAlone };

LineCommas lineCommas(std::string_view line) {
    if (const auto comment = line.find_first_of("#!"); comment != std::string_view::npos)
        line = line.substr(0, comment);
    if (line.find(',') == std::string_view::npos) return LineCommas::None;
    int fields = 0;
    bool decimal = false;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSpace(line[i])) ++i;
        if (i == line.size()) break;
        const std::size_t start = i;
        while (i < line.size() && !isSpace(line[i])) ++i;
        const std::string_view field = line.substr(start, i - start);
        ++fields;
        const std::size_t comma = field.find(',');
        if (comma == std::string_view::npos) continue;
        const bool betweenDigits = comma > 0 && comma + 1 < field.size() &&
                                   isDigit(field[comma - 1]) && isDigit(field[comma + 1]);
        if (!betweenDigits || field.find(',', comma + 1) != std::string_view::npos ||
            field.find('.') != std::string_view::npos)
            return LineCommas::Separating;
        decimal = true;
    }
    if (!decimal) return LineCommas::None;
    return fields >= 2 ? LineCommas::Decimal : LineCommas::DecimalAlone;
}

}  // namespace

CommaUse commaUse(std::string_view text) {
    CommaUse use;
    bool decimal = false;
    int line = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view row = text.substr(start, end - start);
        ++line;
        start = end + 1;
        switch (lineCommas(row)) {
            case LineCommas::Separating:
                return {};
            case LineCommas::Decimal:
                decimal = true;
                break;
            case LineCommas::DecimalAlone:
                if (use.line == 0) {
                    use.line = line;
                    use.text = std::string(row.substr(0, row.find_first_of("#!\r")));
                }
                break;
            case LineCommas::None:
                break;
        }
    }
    if (use.line != 0) {
        use.kind = CommaUse::Unclear;
        return use;
    }
    use.kind = decimal ? CommaUse::Decimal : CommaUse::Separators;
    return use;
}

}  // namespace tesral::physics
