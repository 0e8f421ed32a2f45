#pragma once

#include <vector>

#include "app/picture_view.h"

#include "physics/powder_lines.h"
#include "plots/powder_drawing.h"

namespace tesral {

/**
 * The powder plot on screen: the wheel zooms about the mouse along 2-theta, a drag pans, a
 * double click shows the whole grid again; the mouse over a line tells its indices, d, (N/M)
 * and intensity.
 */
class PowderPlotWidget : public PictureView {
    Q_OBJECT

  public:
    explicit PowderPlotWidget(QWidget* parent = nullptr);

    /** The calculated pattern: the grid's first 2-theta and step, its values and lines. */
    void setPattern(double start, double step, std::vector<double> profile,
                    std::vector<physics::PowderLine> lines);
    /**
     * A second pattern on the same grid, drawn under the calculated one with a legend of
     * both names; setPattern() removes it.
     */
    void setCompared(std::vector<double> profile, const QString& name, const QString& comparedName);
    bool hasCompared() const { return !compared_.empty(); }
    /** No pattern: the box says `text`. */
    void clearPattern(const QString& text);
    /** The line above the frame. */
    void setTitle(const QString& title);
    QString title() const { return title_; }
    /** A measured pattern (2-theta, intensity), drawn scaled to the calculated maximum. */
    void setMeasured(std::vector<double> twoTheta, std::vector<double> intensity);
    void setDifference(bool shown);
    /**
     * A refined fit: the calculated values at the measured 2-theta, on the measured file's
     * scale (empty: none). It is drawn instead of the profile until the next measured pattern.
     */
    void setFit(std::vector<double> calculated);
    bool hasFit() const { return !fitted_.empty(); }

    /** What the plot draws, for pictures and printing; spans into this widget. */
    PowderPlotData data() const;
    bool hasPattern() const { return profile_.size() > 1; }
    bool hasPicture() const override { return hasPattern(); }
    PictureDrawing drawing() const override;
    QString sizeProblem(const PictureSettings& settings) const override;
    QString pictureName() const override { return QStringLiteral("powder"); }
    /** What the box says without a pattern. */
    QString emptyText() const { return emptyText_; }

    /** The shown 2-theta range. */
    double viewStart() const { return viewStart_; }
    double viewStop() const { return viewStop_; }
    void setView(double start, double stop);
    /** Zooms by `factor` (above 1 zooms in) about 2-theta `centre`. */
    void zoom(double factor, double centre);

    /** The tip for the line nearest the x position (pixels), within a few pixels; else empty. */
    QString lineTipAt(double x) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    PlotTarget target() const { return screenTarget(); }
    double gridStop() const;

    double start_ = 0.0;
    double step_ = 0.01;
    std::vector<double> profile_;
    std::vector<physics::PowderLine> lines_;
    std::vector<PowderTick> ticks_;
    double strongest_ = 0.0;
    std::vector<double> measuredTwoTheta_;
    std::vector<double> measuredIntensity_;
    /** The factor that took the measured file's values to measuredIntensity_. */
    double measuredScale_ = 1.0;
    std::vector<double> fitted_;
    std::vector<double> compared_;
    QString name_, comparedName_;
    bool difference_ = false;
    QString title_;
    QString emptyText_;
    double viewStart_ = 0.0;
    double viewStop_ = 0.0;
    double dragFrom_ = 0.0;  // pixels
    bool dragging_ = false;
};

}  // namespace tesral
