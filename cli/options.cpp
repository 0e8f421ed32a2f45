#include "options.h"

#include <algorithm>
#include <cstdio>

namespace tesral::cli {
namespace {
bool contains(const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

/** The characters of `text` as shown in a message: UTF-8 sequences whole, control
 *  characters as escapes. */
std::vector<std::string> shownCharacters(const std::string& text) {
    std::vector<std::string> shown;
    for (const char c : text) {
        const bool continuation = (static_cast<unsigned char>(c) & 0xc0) == 0x80;
        if (continuation && !shown.empty()) {
            shown.back() += c;
        } else if (c == '\n') {
            shown.emplace_back("\\n");
        } else if (isControl(c)) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(c));
            shown.emplace_back(escape);
        } else {
            shown.emplace_back(1, c);
        }
    }
    return shown;
}

/** `text` in quotes, at most 60 characters: `keepAtEnd` of them from its end, the rest from
 *  its start, "…" between when something is left out. */
std::string quotedCut(const std::string& text, std::size_t keepAtEnd) {
    constexpr std::size_t kLongest = 60;
    const std::vector<std::string> shown = shownCharacters(text);
    std::string quoted = "'";
    const bool cut = shown.size() > kLongest;
    const std::size_t head = cut ? kLongest - keepAtEnd : shown.size();
    for (std::size_t i = 0; i < head; ++i) quoted += shown[i];
    if (cut) quoted += "\u2026";
    for (std::size_t i = cut ? shown.size() - keepAtEnd : shown.size(); i < shown.size(); ++i)
        quoted += shown[i];
    return quoted + "'";
}

}  // namespace

std::string quoted(const std::string& text) {
    return quotedCut(text, 0);
}

std::string quotedPath(const std::string& path) {
    return quotedCut(path, 40);
}

void rejectControlCharacters(const Options& options, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        for (const std::string& value : options.all(name))
            if (std::any_of(value.begin(), value.end(), isControl))
                throw UsageError("--" + name +
                                 " must not contain a line break or another control character");
}

Options::Options(const std::vector<std::string>& args, const KnownOptions& known) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0) throw UsageError("unexpected argument " + quoted(arg));
        std::string name = arg.substr(2);
        std::string inlineValue;
        bool hasInline = false;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasInline = true;
        }
        const bool valued = contains(known.valued, name) || contains(known.repeatable, name);
        if (!valued && !contains(known.flags, name))
            throw UsageError("unknown option " + quoted("--" + name));
        if (valued) {
            if (!hasInline) {
                if (i + 1 >= args.size()) throw UsageError("option '--" + name + "' needs a value");
                inlineValue = args[++i];
            }
            if (values_.count(name) && !contains(known.repeatable, name))
                throw UsageError("option '--" + name + "' given twice");
            values_[name].push_back(inlineValue);
        } else {
            if (hasInline) throw UsageError("option '--" + name + "' takes no value");
            values_[name].push_back({});
        }
    }
}

std::string Options::value(const std::string& name, const std::string& fallback) const {
    const auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second.back();
}

const std::vector<std::string>& Options::all(const std::string& name) const {
    static const std::vector<std::string> none;
    const auto it = values_.find(name);
    return it == values_.end() ? none : it->second;
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return parts;
}

}  // namespace tesral::cli
