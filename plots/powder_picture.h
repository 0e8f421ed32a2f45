#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "plots/picture_settings.h"
#include "plots/plot_picture.h"
#include "plots/powder_drawing.h"

namespace tesral {

/**
 * The powder plot as the bytes of a picture file: a bitmap, SVG, a placeable metafile, or a
 * landscape A4 page as PDF (laid out as the pictures are). On failure returns nothing and, when
 * `reason` is given, sets it.
 */
std::optional<QByteArray> renderPowderPicture(PictureFormat format, const PowderPlotData& data,
                                              const PictureSettings& settings,
                                              QString* reason = nullptr);

/** Why a picture of these settings has no room for the plot; empty when it has. */
QString powderSizeProblem(const PowderPlotData& data, const PictureSettings& settings);

}  // namespace tesral
