#pragma once

#include <QFont>
#include <QRgb>
#include <span>

#include "engine/reflection_table.h"
#include "plots/spot_style.h"

namespace tesral {

/** What a plot reads of the last run. */
struct PlotData {
    /** Rows 0 .. reflectionCount - 1. */
    std::span<const ReflectionRecord> table;
    TableStatistics statistics;
    /** The 3D plot's rows in their current (rotated, depth-sorted) order. */
    std::span<const ProjectedPoint> points;
    /** 5 for the axial systems, 6 for the icosahedral one. */
    int indexDimension = 0;
};

/** The box a plot is drawn into. */
struct PlotTarget {
    double width = 0;            // inner width, twips
    double height = 0;           // inner height, twips
    double twipsPerPixelX = 15;  // 15 at 96 dots per inch
    double twipsPerPixelY = 15;
    QRgb background = kBlack;
    QRgb foreground = kWhite;
    /** Font of the index labels and the legend. */
    QFont font;
    /**
     * A printed page: the plot fills 0.8 of the half page about its centre, and labels go
     * on spots larger than two printer pixels.
     */
    bool printed = false;
};

/** Twips per pixel of a device with the given logical dots per inch. */
inline double twipsPerPixel(double logicalDpi) {
    return 1440.0 / logicalDpi;
}

/** The box of a screen widget of `width` x `height` pixels at the given logical resolution. */
inline PlotTarget screenBox(int width, int height, double dpiX, double dpiY, QRgb background,
                            QRgb foreground, const QFont& font) {
    PlotTarget t;
    t.twipsPerPixelX = twipsPerPixel(dpiX);
    t.twipsPerPixelY = twipsPerPixel(dpiY);
    t.width = width * t.twipsPerPixelX;
    t.height = height * t.twipsPerPixelY;
    t.background = background;
    t.foreground = foreground;
    t.font = font;
    return t;
}

}  // namespace tesral
