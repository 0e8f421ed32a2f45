#include "report/config_file.h"

#include <charconv>
#include <vector>

#include "engine/groups.h"
#include "engine/wavelength.h"
#include "report/safe_file.h"
#include "report/text_file.h"

namespace tesral {

namespace {

constexpr std::size_t kReadLimit = 1 << 20;
constexpr int kSystemCount = 4;

/** " 13 " for 13, "-1 " for -1. */
std::string integerLine(int value) {
    std::string line(value < 0 ? 0 : 1, ' ');
    line += std::to_string(value);
    line += ' ';
    return line;
}

/** The text field that line 4..11 or 13..16 holds; nothing for the other lines. */
std::string* textOfLine(ConfigValues& values, int line) {
    RunInputs& in = values.inputs;
    if (line == 4) return &in.a;
    if (line == 5) return &in.c;
    if (line >= 6 && line <= 11) return &in.loopLimits[static_cast<std::size_t>(line - 6)];
    if (line == 13) return &in.thetaMin;
    if (line == 14) return &in.thetaMax;
    if (line == 15) return &in.qiMax;
    if (line == 16) return &values.searchText;
    return nullptr;
}

std::string_view withoutLeadingBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

/** A 16-bit integer with blanks around it, or nothing. */
std::optional<int> integerOf(std::string_view text) {
    text = withoutLeadingBlanks(text);
    const auto last = text.find_last_not_of(" \t");
    text = last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    short value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
    return value;
}

bool holdsControlCharacter(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return true;
    return false;
}

/** Applies line `line` (1..16); false when it cannot be applied. */
bool applyLine(int line, std::string_view text, ConfigValues& values) {
    RunInputs& in = values.inputs;
    if (line == 1 || line == 2 || line == 12) {
        const std::optional<int> value = integerOf(text);
        if (!value || *value < 0) return false;
        if (line == 1) {
            if (*value >= kSystemCount) return false;
            in.system = static_cast<QuasicrystalSystem>(*value + 1);
            in.groupPosition = defaultGroupPosition(in.system);
        } else if (line == 2) {
            if (*value >= static_cast<int>(groupsOfSystem(in.system).size())) return false;
            in.groupPosition = *value;
        } else {
            if (*value >= static_cast<int>(anodeTable().size())) return false;
            values.anodePosition = *value;
            in.wavelength = wavelengthText(meanWavelength(*value));
        }
        return true;
    }
    if (line == 3) {
        in.convention = text.find("True") != std::string_view::npos ? MatrixConvention::Yamamoto
                                                                    : MatrixConvention::Steurer;
        return true;
    }
    text = withoutLeadingBlanks(text);
    if (holdsControlCharacter(text)) return false;
    *textOfLine(values, line) = std::string(text);
    return true;
}

}  // namespace

std::string configText(const ConfigValues& values) {
    const RunInputs& in = values.inputs;
    std::vector<std::string> lines = {
        integerLine(systemCode(in.system) - 1), integerLine(in.groupPosition),
        in.convention == MatrixConvention::Yamamoto ? "True" : "False", in.a, in.c};
    lines.insert(lines.end(), in.loopLimits.begin(), in.loopLimits.end());
    lines.insert(lines.end(), {integerLine(values.anodePosition), in.thetaMin, in.thetaMax,
                               in.qiMax, values.searchText});
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

int applyConfigText(std::string_view text, ConfigValues& values) {
    int applied = 0;
    while (applied < kConfigLineCount && !text.empty()) {
        const auto end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        if (end == std::string_view::npos)
            text = {};
        else
            text.remove_prefix(text.substr(end, 2) == "\r\n" ? end + 2 : end + 1);
        if (!applyLine(applied + 1, line, values)) break;
        ++applied;
    }
    return applied;
}

std::optional<int> readConfigFile(const std::string& path, ConfigValues& values,
                                  std::string* reason) {
    std::string why;
    const std::optional<std::string> bytes = readRegularFile(path, kReadLimit, why);
    if (!bytes) {
        if (reason) *reason = why;
        return {};
    }
    return applyConfigText(utf8Text(*bytes), values);
}

std::optional<std::string> writeConfigFile(const std::string& path, const ConfigValues& values) {
    return writeFileSafely(path, configText(values), SafeFile::Accept::RegularFilesOnly);
}

}  // namespace tesral
