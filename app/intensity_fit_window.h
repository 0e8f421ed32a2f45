#pragma once

#include <QWidget>
#include <vector>

#include "app/picture_view.h"
#include "physics/model_refinement.h"
#include "plots/intensity_fit_drawing.h"

class QLabel;
class QTableWidget;

namespace tesral {

/** I_calc against I_obs of a refinement, on logarithmic axes. */
class IntensityFitView : public PictureView {
    Q_OBJECT

  public:
    explicit IntensityFitView(QWidget* parent = nullptr);

    void setPoints(std::vector<IntensityFitPoint> points, QString title);
    IntensityFitData data() const { return {points_, title_}; }
    bool hasPicture() const override { return !points_.empty(); }
    PictureDrawing drawing() const override;
    QString pictureName() const override { return QStringLiteral("intensity-fit"); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<IntensityFitPoint> points_;
    QString title_;
};

/**
 * The fit of a list of intensities: the plot of I_calc against I_obs with R1 and wR2, and the
 * reflections that fit worst, by |I_obs - I_calc| / sigma.
 */
class IntensityFitWindow : public QWidget {
    Q_OBJECT

  public:
    explicit IntensityFitWindow(QWidget* parent = nullptr);

    void setFit(const std::vector<physics::ObservationFit>& fits,
                const physics::FiguresOfMerit& merit);
    IntensityFitView* view() const { return view_; }
    QTableWidget* worst() const { return worst_; }
    QString meritText() const;

  private:
    IntensityFitView* view_;
    QLabel* merit_;
    QTableWidget* worst_;
};

/** The observations in order of misfit, the worst first: |I_obs - I_calc| / sigma (sigma 0: 1). */
std::vector<physics::ObservationFit> worstFitting(std::vector<physics::ObservationFit> fits,
                                                  std::size_t count);

}  // namespace tesral
