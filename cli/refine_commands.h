#pragma once

#include <string>
#include <vector>

namespace tesral::cli {

/** tesral-cli refine: a model refined against a measured pattern, peak list or intensity list. */
int refineCommand(const std::vector<std::string>& args);
/** Whether --plot asks for a picture; mistakes in the options throw. */
bool refineDrawsPicture(const std::vector<std::string>& args);
/** The same with the picture (the picture program's; tesral-cli hands it over). */
int refinePictureCommand(const std::vector<std::string>& args);

std::string refineHelp();

}  // namespace tesral::cli
