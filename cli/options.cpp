#include "options.h"

#include <algorithm>

namespace tesral::cli {
namespace {
bool contains(const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}
}  // namespace

Options::Options(const std::vector<std::string>& args, const KnownOptions& known) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0) throw UsageError("unexpected argument '" + arg + "'");
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
            throw UsageError("unknown option '--" + name + "'");
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
