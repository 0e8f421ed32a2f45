#pragma once

#include <QImage>
#include <memory>
#include <optional>

#include "app/measured_overlay.h"
#include "app/picture_view.h"
#include "engine/zone_section.h"
#include "plots/plot_options.h"
#include "plots/zone_drawing.h"

namespace tesral {

/**
 * The box of a zone-axis pattern (pbZone): shows its last drawing, scaled to its size, and
 * the indices of the spot under the mouse as a tool tip; without a section, a message.
 * With a measured photograph the box shows it under the section's spots instead; dragging
 * moves the section's centre, with Shift rotates it and with Ctrl scales it about the centre.
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

    /** Shows `image` (in its screen contrast `screen`) under the section's spots. */
    void showMeasured(std::shared_ptr<const physics::DiffractionImage> image, QImage screen);
    /** Back to the section alone. */
    void clearMeasured();
    /** The photograph and where the section lies on it; null without one. */
    MeasuredOverlay* overlay() { return overlay_.get(); }
    const MeasuredOverlay* overlay() const { return overlay_.get(); }
    /** Moves the section on the photograph (a fit's result); no placementChanged(). */
    void setPlacement(const physics::PatternCalibration& placement);

    bool hasPicture() const override { return section_ != nullptr || overlay_ != nullptr; }
    PictureDrawing drawing() const override;
    QString pictureName() const override { return QStringLiteral("zone"); }

  signals:
    /** A drag moved, turned or scaled the section on the photograph. */
    void placementChanged(const physics::PatternCalibration& placement);

  protected:
    void coloursChanged() override { redraw(); }
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void redraw();
    PlotTarget target() const;
    /** The placement a drag from its start to `position` makes. */
    physics::PatternCalibration dragged(QPointF position) const;

    struct Drag {
        enum Mode { Move, Rotate, Scale } mode = Move;
        QPointF start;
        physics::PatternCalibration from;
    };

    const ZoneSection* section_ = nullptr;
    QString title_;
    QString message_;
    double cameraLength_ = 0.0;
    PlotOptions options_;
    QImage picture_;
    std::unique_ptr<MeasuredOverlay> overlay_;
    std::optional<Drag> drag_;
};

}  // namespace tesral
