#pragma once

#include <optional>

#include "plots/metafile.h"
#include "plots/plot_canvas.h"
#include "plots/plot_data.h"

namespace tesral {

/** The recording's label font: this many screen pixels high (makeLogFont's size value). */
inline constexpr double kMetafileFontSize = 8;

/**
 * Records a plot as a Windows metafile in twips. It starts with a frame of the picture's size
 * in a black pen, filled with the recording's initial (white) brush, and then selects a black
 * brush and the label font. A circle selects a solid brush of its fill colour and a pen of its
 * outline colour, each made anew only when the colour changes, and records an ellipse; a
 * spot wholly outside the picture is left out, as the plot box clips it. Spot labels are
 * recorded as single-byte text; a legend explains the screen's colours and is not.
 */
class MetafileCanvas : public PlotCanvas {
  public:
    /**
     * A picture of the target's size (twips, as nearest integers) with its font;
     * `penWidth`: outline width in twips (one pixel of the device that will show it).
     */
    MetafileCanvas(const PlotTarget& target, int penWidth);

    void clear(QRgb background) override;
    void circle(double x, double y, double r, QRgb outline, QRgb fill) override;
    void text(double x, double y, const QString& text, QRgb colour, const QFont& font,
              TextRole role) override;
    void polyline(std::span<const QPointF> points, QRgb colour) override;

    int width() const { return width_; }    // twips
    int height() const { return height_; }  // twips

    /** Ends the recording. The pen, brush and font stay undeleted in it, as a reader expects. */
    Metafile finish();

  private:
    void usePen(QRgb colour);
    void useBrush(QRgb colour);
    /**
     * Text goes on a transparent background; shapes on the default opaque one, which GDI
     * ignores for solid brushes but some readers (libwmf) take as half-transparent fills.
     */
    void useBackgroundMode(BackgroundMode mode);

    MetafileRecorder recorder_;
    int width_;
    int height_;
    int penWidth_;
    MetaObject pen_;
    MetaObject brush_;
    // The colours of the selected pen and brush; nothing for a transparent one.
    std::optional<ColorRef> penColour_;
    std::optional<ColorRef> brushColour_;
    std::optional<ColorRef> textColour_;
    BackgroundMode backgroundMode_ = BackgroundMode::Opaque;
};

}  // namespace tesral
