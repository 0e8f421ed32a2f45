// The zone command of tesral-cli: rows here, pictures in the picture program.

#include "cli/output.h"
#include "cli/picture_program.h"
#include "cli/zone_command.h"

namespace tesral::cli {

int zoneCommand(const std::vector<std::string>& args) {
    const Options options(args, zoneOptions());
    if (!options.has("output")) throw UsageError("--output FILE is needed");
    if (zonePictureOutput(options)) return runPictureProgram("zone", args);
    refusePictureOptions(options, {"size"});
    return writeZoneRows(options, zoneRunFrom(options));
}

}  // namespace tesral::cli
