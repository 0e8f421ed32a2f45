#pragma once

#include <string>
#include <vector>

namespace tesral::cli {

/** tesral-cli powder: .xy or .csv (.xy on standard output without --output); any other
 *  extension is a usage mistake, pictures excepted. */
int powderTextCommand(const std::vector<std::string>& args);
/** Whether --output names a picture; mistakes in the options throw. */
bool powderDrawsPicture(const std::vector<std::string>& args);
/** The powder picture (the picture program's; tesral-cli hands it over). */
int powderPictureCommand(const std::vector<std::string>& args);

/** tesral-cli index: peaks of a measured pattern matched and the lattice refined. */
int indexCommand(const std::vector<std::string>& args);

std::string powderHelp();
std::string indexHelp();

}  // namespace tesral::cli
