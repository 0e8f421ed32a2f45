#pragma once

#include <string>
#include <vector>

namespace tesral::cli {

/** tesral-cli powder: .xy and .csv here, pictures handed to the picture program. */
int powderProgram(const std::vector<std::string>& args);
/** The picture program's powder: every output format. */
int powderPictureCommand(const std::vector<std::string>& args);

/** tesral-cli index: peaks of a measured pattern matched and the lattice refined. */
int indexCommand(const std::vector<std::string>& args);

std::string powderHelp();
std::string indexHelp();

}  // namespace tesral::cli
