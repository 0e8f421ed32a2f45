#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "physics/lattice_refinement.h"
#include "physics/measured_pattern.h"
#include "physics/powder_lines.h"
#include "physics/structure_model.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tesral {

class InputPanel;
class PowderPlotWidget;

/**
 * The powder pattern of the panel's inputs, with whole orbits, and the intensities of the
 * window's model when "use intensities" is ticked (else one Al site with the tiling's window): the
 * plot, a measured pattern beside it, the refinement of the lattice constants from its peaks, and
 * the refined constants taken back into the panel.
 */
class PowderWindow : public QWidget {
    Q_OBJECT

  public:
    /** `model`, the window's intensity model, may be null; it must outlive this window. */
    explicit PowderWindow(InputPanel* panel, const physics::StructureModel* model = nullptr,
                          QWidget* parent = nullptr);

    /** Runs the panel's inputs with whole orbits and shows the pattern; false (and a status
     * message) when it cannot. */
    bool calculate();
    /** Reads a measured pattern or peak list; false (and "file:line: ...") when it cannot. */
    bool loadMeasured(const QString& path);
    /** Refines from the measured peaks; false (and the reason) without a result. */
    bool refine();
    /** Writes the refined a (and c) into the panel's fields. */
    void useRefined();
    /** Writes the plot as a picture of the plot's size; the reason on failure, else empty. */
    QString savePicture(const QString& path) const;

    PowderPlotWidget* plot() const { return plot_; }
    QString statusText() const;
    QString resultText() const;
    const std::optional<physics::Refinement>& refinement() const { return refinement_; }

  private:
    void chooseMeasured();
    void choosePicture();
    void copyPicture();
    void printPlot();
    void showStatus(const QString& text);

    InputPanel* panel_;
    const physics::StructureModel* model_;
    PowderPlotWidget* plot_;
    QLineEdit* twoTheta_;
    QLineEdit* caglioti_;
    QLineEdit* eta_;
    QLineEdit* monochromator_;
    QCheckBox* difference_;
    QPushButton* refineButton_;
    QPushButton* useButton_;
    QLabel* status_;
    QPlainTextEdit* result_;

    std::vector<physics::PowderLine> lines_;
    physics::LineLattice lattice_;
    double a6DPerA_ = 0.0;
    std::optional<physics::MeasuredData> measured_;
    std::optional<physics::Refinement> refinement_;
};

}  // namespace tesral
