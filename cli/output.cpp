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
    writeOutputTo(options.value("output", "-"), write);
}

void writeOutputTo(const std::string& path, const std::function<bool(SafeFile&)>& write) {
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

void refuseOutputOnto(const Options& options, const std::string& input, const std::string& what) {
    const std::string output = options.value("output", "-");  // "-": standard output
    if (output != "-" && sameFile(input, output))
        throw UsageError("--output " + quotedPath(output) + " is the " + what +
                         "; write to another file");
}

void refusePictureOptions(const Options& options, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        if (options.has(name))
            throw UsageError("--" + name +
                             " is for pictures only; --output names no picture (.png, .bmp, "
                             ".svg, .wmf, .pdf)");
}

void writeOutput(const Options& options, std::string_view bytes) {
    writeOutput(options, [bytes](SafeFile& file) { return file.write(bytes); });
}

}  // namespace tesral::cli
