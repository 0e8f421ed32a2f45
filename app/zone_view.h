#pragma once

#include <QImage>
#include <QWidget>

#include "engine/zone_section.h"
#include "plots/plot_options.h"
#include "plots/zone_drawing.h"

namespace tesral {

/**
 * The box of a zone-axis pattern (pbZone): shows its last drawing, scaled to its size, and
 * the indices of the spot under the mouse as a tool tip.
 */
class ZonePatternView : public QWidget {
    Q_OBJECT

  public:
    explicit ZonePatternView(QWidget* parent = nullptr);

    /** Draws `section` (kept by the caller while it is shown); an empty one says so. */
    void showSection(const ZoneSection* section, const QString& title, double cameraLength);
    /** The pattern drawn for another target (a file, the printer, the clipboard). */
    ZonePatternData data() const;
    const PlotOptions& options() const { return options_; }
    QRgb backgroundColour() const { return background_; }
    void setColours(QRgb background, QRgb foreground);
    const QImage& picture() const { return picture_; }
    /** The label of the spot within a few pixels of `position`; empty when none is. */
    QString spotLabelAt(QPointF position) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void redraw();
    PlotTarget target() const;

    const ZoneSection* section_ = nullptr;
    QString title_;
    double cameraLength_ = 0.0;
    PlotOptions options_;
    QRgb background_;
    QRgb foreground_;
    QImage picture_;
};

}  // namespace tesral
