#pragma once

#include <QFont>
#include <QRgb>
#include <QString>

namespace tesral {

/** Spot labels belong to the picture; a legend only explains the screen's colours. */
enum class TextRole { Label, Legend };

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
    /** Text whose top-left corner lies at (x, y). */
    virtual void text(double x, double y, const QString& text, QRgb colour, const QFont& font,
                      TextRole role) = 0;
};

}  // namespace tesral
