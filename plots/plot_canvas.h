#pragma once

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRgb>
#include <QString>
#include <span>

namespace tesral {

/** Spot labels belong to the picture; a legend only explains the screen's colours. */
enum class TextRole { Label, Legend };

/** One spot of a run of spots: centre and radius in twips, and its fill. */
struct CanvasSpot {
    float x = 0, y = 0, r = 0;
    QRgb fill = 0;
};

/**
 * The drawing surface of a plot. All positions and lengths are twips (1440 per inch), with
 * the origin at the top-left corner and y growing downward.
 */
class PlotCanvas {
  public:
    virtual ~PlotCanvas() = default;

    /** Fills the whole surface with the background colour. */
    virtual void clear(QRgb background) = 0;
    /** A disc of radius r filled with `fill`, outlined one pixel wide in `outline`. */
    virtual void circle(double x, double y, double r, QRgb outline, QRgb fill) = 0;
    /**
     * Spots in order, each as circle() draws it, all outlined in `outline`. A bitmap may
     * paint them on several threads; the picture is the same.
     */
    virtual void circles(std::span<const CanvasSpot> spots, QRgb outline) {
        for (const CanvasSpot& s : spots) circle(s.x, s.y, s.r, outline, s.fill);
    }
    /**
     * Whether the canvas can take many spots nearest first (circlesUnder), leaving out what
     * is covered already: a bitmap. The picture is nearly that of circles(), which cuts
     * every blend to whole levels.
     */
    virtual bool composesUnder() const { return false; }
    /**
     * Spots in drawing order, to be painted behind every spot given to circlesUnder() since
     * the last clear(); runs come from the last to the first. endUnder() shows them.
     */
    virtual void circlesUnder(std::span<const CanvasSpot> /*spots*/, QRgb /*outline*/) {}
    virtual void endUnder() {}
    /**
     * Straight segments through the points (twips), one pixel wide in `colour`: the axes and
     * curves of the powder plot. A canvas that cannot draw lines leaves them out.
     */
    virtual void polyline(std::span<const QPointF> /*points*/, QRgb /*colour*/) {}
    /**
     * A photograph stretched over the box at (x, y) of width w and height h (twips): a
     * measured pattern under its overlay. A canvas that cannot show pictures leaves it out.
     */
    virtual void picture(double /*x*/, double /*y*/, double /*w*/, double /*h*/,
                         const QImage& /*image*/) {}
    /** Text whose top-left corner lies at (x, y). */
    virtual void text(double x, double y, const QString& text, QRgb colour, const QFont& font,
                      TextRole role) = 0;
};

}  // namespace tesral
