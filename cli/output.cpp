#include "cli/output.h"

#include <cerrno>
#include <iostream>
#include <stdexcept>

namespace tesral::cli {
namespace {
std::string commandName = "report";
}  // namespace

void setCommandName(const std::string& name) {
    commandName = name;
}

void printNote(const std::string& text) {
    std::cerr << "tesral-cli " << commandName << ": " << text << '\n';
}

void writeOutput(const Options& options, const std::function<bool(SafeFile&)>& write) {
    const std::string path = options.value("output", "-");
    const bool standardOutput = path == "-";
    SafeFile file;
    if (standardOutput ? file.openStandardOutput() : file.open(path))
        if (write(file)) file.commit();
    if (!file.failed()) return;
    // The reader went away, as with "| head": no message, as for any command in a pipe.
    if (file.errorNumber() == EPIPE) throw OutputClosed{};
    throw std::runtime_error((standardOutput ? std::string("cannot write to standard output")
                                             : "cannot write " + quotedPath(path)) +
                             ": " + file.error());
}

void writeOutput(const Options& options, std::string_view bytes) {
    writeOutput(options, [bytes](SafeFile& file) { return file.write(bytes); });
}

}  // namespace tesral::cli
