#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

#include "plots/placeable_metafile.h"
#include "plots/plot_canvas.h"
#include "plots/plot_data.h"
#include "plots/plot_options.h"

namespace tesral {

/** Where a plot for the clipboard is drawn: the plot box as the screen shows it. */
struct ClipboardTarget {
    PlotTarget target;  // the box: size in twips, colours, font
    QSize size;         // logical pixels
    qreal devicePixelRatio = 1.0;
    /** Outline width in twips: one pixel of the printer that will show the metafile. */
    int penWidth = 15;
    /** kTwipsPerInch, or kLargeViewUnitsPerInch from the large view. */
    int unitsPerInch = kTwipsPerInch;
};

/** One plot for the clipboard, for programs with and without a metafile reader. */
struct ClipboardPictures {
    QByteArray wmf;  // a placeable metafile; empty when it could not be made
    QString wmfError;
    QByteArray svg;  // empty when it could not be made
    QImage bitmap;   // the screen's picture, at the target's device pixel ratio
};

/**
 * Draws the plot once into the bitmap and the metafile, and again as SVG of the same size
 * and colours. Nothing when there is nothing to draw (the plot has no extent).
 */
std::optional<ClipboardPictures> clipboardPictures(PlotKind kind, const PlotData& data,
                                                   const PlotOptions& options,
                                                   const ClipboardTarget& where);

}  // namespace tesral
