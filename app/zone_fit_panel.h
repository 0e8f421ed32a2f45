#pragma once

// The numbers of a measured pattern's fit, as the zone-axis window shows them.

#include <QGroupBox>
#include <QString>
#include <limits>
#include <optional>

#include "physics/pattern_fit.h"

class QLabel;
class QLineEdit;

namespace tesral {

/** What a fit found; a drag afterwards changes only the placement. */
struct FitSummary {
    physics::PatternCalibration calibration;
    /** The zone axis the section was fitted along, as its title writes it. */
    QString axis;
    int matched = 0;
    int unmatchedMeasured = 0;
    /** Root-mean-square distance of the matched spots, pixels. */
    double rmsPixels = std::numeric_limits<double>::quiet_NaN();
};

/**
 * grpZoneFit: the centre (lblFitCentre, pixels), rotation (lblFitRotation, degrees),
 * pixels per 1/angstrom (lblFitScale), the pixel size typed (tfFitPixelSize, mm) and the
 * camera constant it gives (lblFitCamera, angstrom mm), the axis (lblFitAxis), the matched
 * and unmatched spots (lblFitMatched, lblFitUnmatched), the rms distance (lblFitRms) and
 * the elliptical distortion (lblFitEllipse: the axes' ratio and the long one's angle).
 */
class ZoneFitPanel : public QGroupBox {
    Q_OBJECT

  public:
    explicit ZoneFitPanel(QWidget* parent = nullptr);

    /** A fit's numbers. */
    void showFit(const FitSummary& fit);
    /** The placement of a drag after the fit; the match counts stay those of the fit. */
    void showPlacement(const physics::PatternCalibration& calibration);
    /** No fit yet. */
    void clear();
    /** The pixel size typed, mm; nothing when it is empty or not a positive number. */
    std::optional<double> pixelSize() const;
    /** The text of the label named `name` (for tests and the status line). */
    QString value(const QString& name) const;

  private:
    void showCamera();
    static QLabel* label(const char* name);

    QLabel* centre_;
    QLabel* rotation_;
    QLabel* scale_;
    QLineEdit* pixelSize_;
    QLabel* camera_;
    QLabel* axis_;
    QLabel* matched_;
    QLabel* unmatched_;
    QLabel* rms_;
    QLabel* ellipse_;
    physics::PatternCalibration calibration_;
};

}  // namespace tesral
