#include "cli/output.h"

#include <cerrno>
#include <stdexcept>

namespace tesral::cli {

void writeOutput(const Options& options, const std::function<bool(SafeFile&)>& write) {
    const std::string path = options.value("output", "-");
    const bool standardOutput = path == "-";
    SafeFile file;
    if (standardOutput ? file.openStandardOutput() : file.open(path))
        if (write(file)) file.commit();
    if (!file.failed()) return;
    if (standardOutput && file.errorNumber() == EPIPE) throw OutputClosed{};
    throw std::runtime_error((standardOutput ? std::string("cannot write to standard output")
                                             : "cannot write " + quoted(path)) +
                             ": " + file.error());
}

void writeOutput(const Options& options, std::string_view bytes) {
    writeOutput(options, [bytes](SafeFile& file) { return file.write(bytes); });
}

}  // namespace tesral::cli
