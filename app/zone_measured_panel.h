#pragma once

// The zone-axis window's measured photograph: loading it, its contrast, the fit of the shown
// section to its spots and the numbers of the fit.

#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "app/command.h"
#include "physics/calculation.h"
#include "physics/pattern_fit.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tesral {

class ViewTask;
class ZoneFitPanel;
class ZonePatternView;

/**
 * Load measured pattern... (btZoneLoadMeasured), the contrast (cmbZoneContrast: linear,
 * logarithmic, gamma with tfZoneGamma), the elliptical distortion (cbZoneEllipticity), the
 * search over every preset axis (cbZoneAutoAxis), Fit (btZoneFit) and the results
 * (grpZoneFit). The photograph shows in the zone view under the section; the spots are found
 * and the fit made on a worker thread (cancel() stops them). A drag in the view moves the
 * placement; the matches and the numbers follow it. With every axis tried, the best one is
 * announced (axisFound) for the window to draw, and the fit to that section follows.
 */
class ZoneMeasuredPanel : public QWidget {
    Q_OBJECT

  public:
    ZoneMeasuredPanel(CommandContext& context, ZonePatternView& view, QWidget* parent = nullptr);
    ~ZoneMeasuredPanel() override;

    /** The section shown (null: none) and its title; a loaded photograph is matched to it. */
    void setSection(std::shared_ptr<const physics::ZoneResult> section, const QString& title);
    /** Reads the photograph at `path` and shows it; the reason when it cannot be read. */
    std::optional<QString> loadImage(const QString& path);
    /**
     * Starts the fit; false (and a message) without a photograph or a section (or, trying
     * every axis, without a run).
     */
    bool fit();
    /** The fit is being made, or waits for the section of the axis it found. */
    bool fitting() const;
    /** Runs the event loop until the fit started shows; false on a timeout. */
    bool waitForFit(int milliseconds = 60000);
    /** Stops the fit being made; true when one was. */
    bool cancel();
    /** The section of the axis found cannot be drawn: the fit waiting for it is off. */
    void dropPendingFit();
    const ZoneFitPanel& results() const { return *results_; }
    /** The last fit shown; null before one. */
    const physics::PatternFit* lastFit() const { return fit_.get(); }

  signals:
    /** What the status line should say. */
    void message(const QString& text);
    void runningChanged(bool running);
    /** Every preset axis was tried: `preset` (its name) fits best; draw its section. */
    void axisFound(const QString& preset);

  private:
    void choose();
    void fitDrawn();
    void fitEveryAxis();
    void showContrast();
    void showFit(std::shared_ptr<physics::PatternFit> fit,
                 std::shared_ptr<const std::vector<physics::MeasuredSpot>> spots);
    void placementMoved(const physics::PatternCalibration& calibration);
    void showNumbers();

    CommandContext& context_;
    ZonePatternView& view_;
    QComboBox* contrast_;
    QLineEdit* gamma_;
    QCheckBox* ellipticity_;
    QCheckBox* autoAxis_;
    ZoneFitPanel* results_;
    ViewTask* task_;
    std::shared_ptr<const physics::ZoneResult> section_;
    QString title_;
    std::shared_ptr<const physics::DiffractionImage> image_;
    /** The photograph's spots, once found. */
    std::shared_ptr<const std::vector<physics::MeasuredSpot>> spots_;
    std::shared_ptr<physics::PatternFit> fit_;
    /** The placement was moved by hand since the last fit: the next fit starts there. */
    bool moved_ = false;
    /** Every axis was tried and the one found is being drawn: its section gets the fit. */
    bool pendingFit_ = false;
};

}  // namespace tesral
