#pragma once

// A measured photograph under the spots of a zone section, as the zone view shows it.

#include <QImage>
#include <QRectF>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "physics/pattern_fit.h"
#include "physics/spot_finder.h"
#include "plots/measured_overlay.h"
#include "plots/zone_drawing.h"

class QPainter;

namespace tesral {

/** The image point of the plane point (u, v) at `calibration`; nothing before a scale. */
std::optional<QPointF> imagePoint(const physics::PatternCalibration& calibration, double u,
                                  double v);

/**
 * The photograph (in its screen contrast), where the section lies on it and the spots found
 * in it; the drawing for files and paper is plots/measured_overlay.h. The image fills the view as
 * large as it fits whole; the section's spots are circles and the strongest carry their indices;
 * the measured spots are small crosses.
 */
class MeasuredOverlay {
  public:
    MeasuredOverlay(std::shared_ptr<const physics::DiffractionImage> image, QImage screen);

    const physics::DiffractionImage& image() const { return *image_; }
    std::shared_ptr<const physics::DiffractionImage> sharedImage() const { return image_; }
    void setScreen(QImage screen) { screen_ = std::move(screen); }

    const physics::PatternCalibration& placement() const { return placement_; }
    void setPlacement(const physics::PatternCalibration& placement) { placement_ = placement; }
    void setSpots(std::vector<physics::MeasuredSpot> spots) { spots_ = std::move(spots); }
    const std::vector<physics::MeasuredSpot>& spots() const { return spots_; }
    /** The matches of the section's rows to the measured spots (from a fit or a drag). */
    void setMatches(std::vector<physics::SpotMatch> matches) { matches_ = std::move(matches); }
    const std::vector<physics::SpotMatch>& matches() const { return matches_; }

    /** Where the image lies in a view of `size` (logical pixels). */
    QRectF imageRect(QSizeF size) const;
    /** View pixels per image pixel in a view of `size`. */
    double viewScale(QSizeF size) const;
    /** The view point of an image point (pixel centres at whole numbers). */
    QPointF toView(QPointF image, QSizeF size) const;

    /** The picture for files, the clipboard and paper (plots/measured_overlay.h). */
    MeasuredOverlayData drawingData(const ZonePatternData& data) const;
    /** Draws the image, the section's spots (of `data`) and the measured spots. */
    void paint(QPainter& painter, QSizeF size, const ZonePatternData& data, QRgb background) const;
    /**
     * The indices of the section spot within a few pixels of `position`, and how far its
     * measured spot is (or that it has none); empty when there is no spot there.
     */
    QString spotTextAt(QPointF position, QSizeF size, const ZonePatternData& data) const;

  private:
    bool matched(std::size_t row) const;

    std::shared_ptr<const physics::DiffractionImage> image_;
    QImage screen_;
    physics::PatternCalibration placement_;
    std::vector<physics::MeasuredSpot> spots_;
    std::vector<physics::SpotMatch> matches_;
};

/**
 * The rows of `data` the overlay draws (in the section, not only near it, and with
 * intensities as strong as the fit's threshold), strongest first.
 */
std::vector<std::size_t> overlayRows(const ZonePatternData& data);

}  // namespace tesral
