// The help of the picture commands, which tesral-cli prints without loading the picture
// program.

#include <string>

#include "cli/model_options.h"
#include "cli/plot_command.h"
#include "cli/run_options.h"
#include "plots/plot_options.h"

namespace tesral::cli {
namespace {

std::string pictureHelp() {
    // The defaults are the window's start-up view.
    const PlotOptions view;
    return R"(Picture options:
  --output FILE          the picture: .png, .bmp, .svg, .wmf (placeable Windows
                         metafile) or .pdf (the printed page)           (needed)
  --size WxH             size in pixels                             (default )" +
           sizeText(kPlotPictureSize) + R"()
  --background black|white                                          (default black)
  --unfilled             unfilled spots (View: Filled spots off)
  --highlight-main       main reflections in red
  --highlight-directions spots along / between the main directions in green / blue
  --no-size-by-qi        all spots 4 pixels (View: Spot size ~ 1/qi off)
  --spot-size RULE       qi (by 1/qi), fixed (4 pixels) or intensity (area by the
                         model's intensity; needs --model or --domain)  (default qi)
  --threshold P          with --spot-size intensity, spots weaker than P percent of
                         the strongest are not drawn                   (default )" +
           shown(view.intensityThreshold) + R"()
  --colour theta|qi      grey spots by theta or by 1/qi
  --indices              index labels on spots larger than 2 pixels (2D plot)
  --spots N              spot-size slider position 0..40             (default )" +
           std::to_string(view.spotSlider) + R"()
  --zoom F               zoom factor, 1.3 per zoom button click       (default )" +
           shown(view.zoom2D) + R"()
)";
}

}  // namespace

std::string plot2dHelp() {
    return std::string(
               "tesral-cli plot2d [options] --output FILE\n"
               "Runs the generation and draws the zero layer (last index 0) at (x, y),\n"
               "as the window's 2D plot box of that size shows it.\n\n") +
           runOptionsHelp() + modelOptionsHelp() + pictureHelp();
}

std::string plot3dHelp() {
    return std::string(
               "tesral-cli plot3d [options] --output FILE\n"
               "Runs the generation and draws every reflection in 3D, looking along x\n"
               "with y to the right and z downward, as the window's 3D plot box shows it.\n\n") +
           runOptionsHelp() + modelOptionsHelp() + pictureHelp() +
           "  --rotate AXIS:DEGREES  turn the view, repeatable, applied in order, each\n"
           "                         followed by a depth sort: axis 1 turns the picture in\n"
           "                         the screen plane, 2 tilts about the horizontal, 3 turns\n"
           "                         about the vertical (an arrow key is 5 degrees)\n";
}

}  // namespace tesral::cli
