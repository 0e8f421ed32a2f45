#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "plots/picture_settings.h"
#include "plots/plot_data.h"
#include "plots/plot_options.h"

namespace tesral {

class MetafileCanvas;

/**
 * Ends the canvas's recording and returns the placeable metafile file (".wmf") with the given
 * units per inch (kTwipsPerInch, or kLargeViewUnitsPerInch from the large view). On failure
 * (a side above 32766 twips) returns nothing and, when `error` is given, sets it.
 */
std::optional<QByteArray> finishPlotMetafile(MetafileCanvas& canvas, int unitsPerInch,
                                             QString* error = nullptr);

/**
 * The plot as a placeable metafile, drawn as a plot box of the settings' size at 96 dots per
 * inch would show it; outlines are one such pixel wide. On failure returns nothing and, when
 * `error` is given, sets it.
 */
std::optional<QByteArray> renderPlotMetafile(PlotKind kind, const PlotData& data,
                                             const PlotOptions& options,
                                             const PictureSettings& settings, int unitsPerInch,
                                             QString* error = nullptr);

}  // namespace tesral
