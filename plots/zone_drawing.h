#pragma once

// The pattern of a zone-axis section in its plane, through the plot canvas.

#include <QString>
#include <span>

#include "engine/zone_section.h"
#include "plots/plot_canvas.h"
#include "plots/plot_data.h"
#include "plots/plot_options.h"

namespace tesral {

/** What the section picture reads. */
struct ZonePatternData {
    std::span<const ReflectionRecord> table;
    /** One per row: where it lies in the plane, and whether it is only near the zone. */
    std::span<const ZoneSpot> spots;
    TableStatistics statistics;
    int indexDimension = 0;
    /** The axis as written above the pattern ("[1 0 0 0 0 0]"). */
    QString title;
    /** Camera length (mm) and wavelength (angstrom): the scale bar in film millimetres. */
    double cameraLength = 0.0;
    double wavelength = 0.0;
    /** How many of the strongest spots carry their indices. */
    int labelled = 8;
};

/** The labels' colour: orange reads on the black screen and on white paper alike. */
inline constexpr QRgb kZoneLabelColour = 0xffe06a00u;

/** The indices of a row as the labels and tool tips write them: "0 -1 -2 0 2 1". */
QString zoneIndexText(const ReflectionRecord& record, int indexDimension);

inline const QString kEmptySectionText = QStringLiteral("no reflections in this section");

/**
 * Draws the section: x to the right, y upward, the origin in the middle, one scale for
 * both. Spot areas follow the intensity with options.sizeByIntensity, else the plot's size
 * rule; near-zone spots are hollow. A scale bar in 1/nm (or film mm) and the indices of the
 * strongest spots. An empty section shows kEmptySectionText. False on a value that cannot
 * be drawn.
 */
bool drawZonePattern(const ZonePatternData& data, const PlotOptions& options,
                     const PlotTarget& target, PlotCanvas& canvas);

/** Where the pattern lies in a target: its centre and twips per 1/angstrom. */
struct ZoneLayout {
    double centreX = 0.0, centreY = 0.0;
    double scale = 0.0;  // 0 when there is nothing to scale by
    /** The point of plane coordinates (u, v), in twips (y downward). */
    double x(double u) const { return centreX + scale * u; }
    double y(double v) const { return centreY - scale * v; }
};
ZoneLayout zoneLayout(const ZonePatternData& data, const PlotOptions& options,
                      const PlotTarget& target);

/** A round length (1, 2 or 5 times a power of ten) near `about`. */
double roundBarLength(double about);

}  // namespace tesral
