#pragma once

#include <QImage>

#include "app/picture_view.h"
#include "engine/zone_section.h"
#include "plots/plot_options.h"
#include "plots/zone_drawing.h"

namespace tesral {

/**
 * The box of a zone-axis pattern (pbZone): shows its last drawing, scaled to its size, and
 * the indices of the spot under the mouse as a tool tip; without a section, a message.
 */
class ZonePatternView : public PictureView {
    Q_OBJECT

  public:
    explicit ZonePatternView(QWidget* parent = nullptr);

    /** Draws `section` (kept by the caller while it is shown); an empty one says so. */
    void showSection(const ZoneSection* section, const QString& title, double cameraLength);
    /** No section: `text` in the middle of the box. */
    void showMessage(const QString& text);
    /** The pattern drawn for another target (a file, the printer, the clipboard). */
    ZonePatternData data() const;
    const PlotOptions& options() const { return options_; }
    const QImage& picture() const { return picture_; }
    QString message() const { return message_; }
    /** The label of the spot within a few pixels of `position`; empty when none is. */
    QString spotLabelAt(QPointF position) const;

    bool hasPicture() const override { return section_ != nullptr; }
    PictureDrawing drawing() const override;
    QString pictureName() const override { return QStringLiteral("zone"); }

  protected:
    void coloursChanged() override { redraw(); }
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void redraw();
    PlotTarget target() const;

    const ZoneSection* section_ = nullptr;
    QString title_;
    QString message_;
    double cameraLength_ = 0.0;
    PlotOptions options_;
    QImage picture_;
};

}  // namespace tesral
