#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace tesral::cli {

/** A command-line mistake: reported on one line, exit status 2. */
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/** What a command accepts: option names (without "--") that take a value, and flags. */
struct KnownOptions {
    std::vector<std::string> valued;
    std::vector<std::string> flags;
    std::vector<std::string> repeatable;  // valued options that may be given more than once
};

/** Parsed options: every value of each option, in order (flags hold one empty value). */
class Options {
  public:
    Options(const std::vector<std::string>& args, const KnownOptions& known);

    bool has(const std::string& name) const { return values_.count(name) > 0; }
    std::string value(const std::string& name, const std::string& fallback = {}) const;
    const std::vector<std::string>& all(const std::string& name) const;

  private:
    std::map<std::string, std::vector<std::string>> values_;
};

/**
 * A user's text for a message, in single quotes: cut to 60 characters with "…", control
 * characters written as escapes so the message stays on one line.
 */
std::string quoted(const std::string& text);

/** quoted() for a path: a long one is cut in the middle, so the file name stays in view. */
std::string quotedPath(const std::string& path);

/** Throws a usage mistake naming --NAME when a value of one of `names` holds a control
 * character (a line break, a tab, ...). */
void rejectControlCharacters(const Options& options, const std::vector<std::string>& names);

/** Splits "a,b,c" at commas (empty pieces kept). */
std::vector<std::string> splitList(const std::string& text);

}  // namespace tesral::cli
