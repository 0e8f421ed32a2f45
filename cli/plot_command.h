#pragma once

#include <string>
#include <vector>

namespace tesral::cli {

// The plot pictures: run, then draw the 2D zero-layer or the 3D plot into a PNG, BMP or SVG
// file, as the window's plot box of that size shows it.

int plot2dCommand(const std::vector<std::string>& args);
int plot3dCommand(const std::vector<std::string>& args);

std::string plot2dHelp();
std::string plot3dHelp();

}  // namespace tesral::cli
