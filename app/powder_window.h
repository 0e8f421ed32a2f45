#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "app/command.h"
#include "physics/calculation.h"
#include "physics/lattice_refinement.h"
#include "physics/measured_pattern.h"
#include "physics/model_refinement.h"
#include "physics/powder_lines.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;

namespace tesral {

class CalculationDocument;
class PowderApproximant;
class PowderPlotWidget;
class RefinePanel;
class ViewCommand;
class ViewTask;

/**
 * The powder pattern of the document's run, with whole orbits and the run's model, on the
 * window's own 2-theta grid and profile: the plot (its title names the system, constants and
 * wavelength), a measured pattern beside it, the refinement of the lattice constants from its
 * peaks, and the refined constants taken back into the panel. Follows each published run;
 * a model edit, a refused or stopped calculation mark the pattern stale. The pattern is worked
 * out on a worker thread (Escape stops it, and a running model refinement).
 */
class PowderWindow : public QWidget {
    Q_OBJECT

  public:
    /** `context.document` must be set (viewDocument); `context.panel` may be null. */
    explicit PowderWindow(CommandContext& context, QWidget* parent = nullptr);
    ~PowderWindow() override;

    /**
     * Starts the pattern of the document's run; false (and a status message) when it cannot
     * start. The pattern shows when the worker is done (waitForPattern).
     */
    bool calculate();
    /** Runs the event loop until the pattern being worked out shows; false on a timeout. */
    bool waitForPattern(int milliseconds = 60000);
    bool computing() const;
    /**
     * Stops the pattern being worked out (Escape); the pattern shown becomes stale. A model
     * refinement running in the Refine panel ends at its next iteration.
     */
    void cancel();
    /**
     * Reads a measured pattern, a peak list or a list of integrated intensities (refined only,
     * not drawn); false (and "file:line: ...") when it cannot.
     */
    bool loadMeasured(const QString& path);
    /** Removes the measured pattern and the refinement. */
    void removeMeasured();
    /** Refines from the measured peaks; false (and the reason) without a usable result. */
    bool refine();
    /** Writes the refined a (and c) into the panel and the zero shift into its field, and redraws.
     */
    void useRefined();
    /** Opens (or raises) the panel that refines the model against the measured data. */
    RefinePanel* showRefinePanel();
    RefinePanel* refinePanel() const { return refinePanel_; }
    /**
     * Writes the panel's refined model into the document, its a (and c) into the input panel,
     * its zero shift and profile into the fields, and draws the pattern again; the model and
     * numbers before are kept for restoreModel(). False without a refinement.
     */
    bool applyRefined();
    /** Takes back what applyRefined() wrote; false when there is nothing to restore. */
    bool restoreModel();
    /** Writes the plot as a picture of the plot's size; the reason on failure, else empty. */
    QString savePicture(const QString& path) const;

    PowderPlotWidget* plot() const { return plot_; }
    /** The approximant field and the "Quasicrystal pattern" box. */
    PowderApproximant* approximant() const { return approximant_; }
    /** The 2-theta grid field, from:to:step. */
    QLineEdit* twoTheta() const { return twoTheta_; }
    QString statusText() const;
    QString resultText() const;
    const std::optional<physics::Refinement>& refinement() const { return refinement_; }
    /** The pattern shown is not that of the document's run and the fields. */
    bool stale() const { return !current_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool calculateWith(const physics::Calculation& calculation,
                       std::optional<physics::PowderRequest> request = std::nullopt);
    /** The pattern's request as the fields give it; none (and the view stale) when unreadable. */
    std::optional<physics::PowderRequest> requestFromFields();
    /** Draws again with `fallback` when the window's run (F5) cannot be triggered. */
    void runAgain(const physics::Calculation& fallback);
    /** Gives the panel what it refines now, or why it cannot. */
    void updateRefineStart();
    /** The panel's result: the pattern of the refined model, with the fit over the data. */
    void showRefined();
    /** The refinement shown as a fit belongs to this pattern's model and constants. */
    bool fitBelongsTo(const physics::PowderResult& result) const;
    /** The pattern, and the quasicrystal's profile over it when that is not empty. */
    void showPattern(const physics::PowderResult& result,
                     const std::vector<double>& quasicrystal = {});
    void markStale(const QString& why);
    void chooseMeasured();
    void showStatus(const QString& text);
    void updateCommands();

    CommandContext& context_;
    CalculationDocument& document_;
    PowderPlotWidget* plot_;
    QLineEdit* twoTheta_;
    QLineEdit* caglioti_;
    QLineEdit* eta_;
    QLineEdit* monochromator_;
    QLineEdit* zero_;
    QCheckBox* difference_;
    PowderApproximant* approximant_;
    QLabel* status_;
    QPlainTextEdit* result_;
    QProgressBar* progress_;
    ViewTask* task_;
    std::vector<ViewCommand*> commands_;

    std::vector<physics::PowderLine> lines_;
    physics::LineLattice lattice_;
    double a6DPerA_ = 0.0;
    std::optional<QuasicrystalSystem> system_;
    QString title_;
    bool current_ = false;
    /** A run came while the window was hidden: calculated when it shows. */
    bool pending_ = false;
    std::optional<physics::MeasuredData> measured_;
    std::optional<physics::Refinement> refinement_;

    RefinePanel* refinePanel_ = nullptr;
    /** The measured file as the model refinement reads it, or why it cannot. */
    std::optional<physics::Observations> observations_;
    QString observationsProblem_;
    /** The model the pattern shown was worked out with (one Al site without a model). */
    physics::StructureModel patternModel_;
    /** The refinement drawn over the measured pattern. */
    std::optional<physics::ModelRefinement> fit_;
    /** The pattern being worked out is the refined one, not yet applied. */
    bool drawingRefined_ = false;
    /** What applyRefined() replaced. */
    struct Previous {
        physics::StructureModel model;
        bool useIntensities = false;
        std::optional<RunInputs> inputs;
        QString zero, caglioti, eta;
    };
    std::optional<Previous> previous_;
};

/**
 * Why a refinement is not offered: fewer than half the peaks matched, or too few matches
 * for its parameters (naming the likely cause); empty when it is usable.
 */
std::string refinementWarning(const physics::Refinement& refinement, std::size_t peaks);

}  // namespace tesral
