#pragma once

#include <QFont>
#include <QSize>

#include "engine/run_parameters.h"
#include "plots/plot_data.h"

namespace tesral {

/** A plot drawn off screen, as a plot box of this size at 96 dots per inch would show it. */
struct PictureSettings {
    QSize size{800, 800};  // pixels
    QRgb background = kBlack;
    QRgb foreground = kWhite;
    QFont font;  // of the index labels and the legend
    /** The run line of a printed page (PDF). */
    RunHeader header;
};

/** Pictures are drawn as on a 96 dots-per-inch screen. */
inline constexpr double kPictureDpi = 96.0;

/** The drawing target of a picture of these settings: its size in twips, colours, font. */
PlotTarget pictureTarget(const PictureSettings& settings);

/** The label font of a plot box: the application's font at 8 points. */
QFont defaultPlotFont();

}  // namespace tesral
