#include "cli/picture_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "cli/options.h"
#include "cli/plot_command.h"
#include "cli/powder_commands.h"
#include "cli/refine_commands.h"
#include "cli/structure_commands.h"
#include "cli/zone_command.h"

namespace tesral::cli {
namespace {

/** The folder of the running program, with its final '/'; empty when it cannot be told. */
std::string programFolder() {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return std::string();
    path.resize(static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/') + 1);
}

}  // namespace

int runPictureProgram(const char* command, const std::vector<std::string>& args) {
    const std::string program = programFolder() + kPictureProgram;
    std::vector<std::string> words{program, command};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::cout.flush();
    ::execv(program.c_str(), argv.data());
    const int error = errno;
    std::cerr << "tesral-cli " << command << ": cannot start the picture program "
              << quotedPath(program) << ": " << std::strerror(error) << '\n';
    return 1;
}

// tesral-cli's picture entry points: the command handed over with its arguments.

int plot2dCommand(const std::vector<std::string>& args) {
    return runPictureProgram("plot2d", args);
}

int plot3dCommand(const std::vector<std::string>& args) {
    return runPictureProgram("plot3d", args);
}

int powderPictureCommand(const std::vector<std::string>& args) {
    return runPictureProgram("powder", args);
}

int refinePictureCommand(const std::vector<std::string>& args) {
    return runPictureProgram("refine", args);
}

int structurePictureCommand(const std::vector<std::string>& args) {
    return runPictureProgram("structure", args);
}

int zonePictureCommand(const std::vector<std::string>& args) {
    return runPictureProgram("zone", args);
}

}  // namespace tesral::cli
