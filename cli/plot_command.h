#pragma once

#include <string>
#include <vector>

#include "cli/option_values.h"

namespace tesral::cli {

// The plot pictures: run, then draw the 2D zero-layer or the 3D plot into a PNG, BMP, SVG,
// WMF or PDF file, as the window's plot box of that size shows it (the PDF: the printed page).

/** The picture's size without --size. */
inline constexpr PixelSize kPlotPictureSize{800, 800};

int plot2dCommand(const std::vector<std::string>& args);
int plot3dCommand(const std::vector<std::string>& args);

std::string plot2dHelp();
std::string plot3dHelp();

}  // namespace tesral::cli
