// tesral-cli's powder command: text outputs here, pictures in the picture program.

#include "cli/commands.h"
#include "cli/picture_program.h"
#include "cli/powder_commands.h"
#include "cli/powder_job.h"

namespace tesral::cli {

int powderProgram(const std::vector<std::string>& args) {
    return powderCommand(
        args, [](const std::vector<std::string>& all) { return runPictureProgram("powder", all); });
}

}  // namespace tesral::cli
