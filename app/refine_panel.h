#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "physics/model_refinement.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

namespace tesral {

class IntensityFitWindow;
class ViewTask;

/**
 * The powder view's refinement of a structure model against the measured data: the
 * parameters as check boxes (the globals, then one row per site label), the background terms
 * and the iterations, Start and Stop (Escape), R per iteration while the refinement runs on a
 * worker thread, and after it the table of parameters (start, refined, su) with the figures of
 * merit. What it refines comes from the powder view (setStart); what is done with the result
 * (the curves, Apply, Restore) goes back through the signals.
 */
class RefinePanel : public QWidget {
    Q_OBJECT

  public:
    using Refiner = std::function<physics::ModelRefinement(
        const physics::Calculation&, const physics::Observations&, const physics::RefineOptions&,
        const physics::Watch&, const std::function<void(int, double)>&)>;

    explicit RefinePanel(QWidget* parent = nullptr);
    ~RefinePanel() override;

    /** The refinement itself; physics::refineModel unless a test puts another. */
    void setRefiner(Refiner refiner) { refiner_ = std::move(refiner); }

    /**
     * What Start refines: the run and model, the data and the profile's start values. The
     * check boxes follow the model's names; those ticked before stay ticked.
     */
    void setStart(physics::Calculation start, physics::Observations data,
                  physics::RefineOptions options);
    /** Nothing to refine: Start is off and the panel says why. */
    void clearStart(const QString& why);

    /** Starts the refinement of the ticked parameters; false (and why) when it cannot. */
    bool start();
    /** Ends the refinement at its next iteration with the last good values. */
    void stop();
    bool running() const;
    /** Runs the event loop until the refinement is done; false on a timeout. */
    bool waitForFinished(int milliseconds = 60000);

    /** The ticked names, in the order of the boxes. */
    std::vector<std::string> vary() const;
    /** The box of a parameter name ("scale", "Al1.radius", "b_par"); null if there is none. */
    QCheckBox* box(const std::string& name) const;
    QSpinBox* backgroundTerms() const { return background_; }
    QSpinBox* maxIterations() const { return iterations_; }

    /** The last refinement that ended with values (a stopped one too). */
    const std::optional<physics::ModelRefinement>& result() const { return result_; }
    /** Apply is offered while the result is not applied; Restore while an older model is kept. */
    void setApplied(bool applied);
    void setRestoreAvailable(bool available);

    /** How the last refinement went, with its figures of merit. */
    QString statusText() const;
    /** What Start refines, or why nothing can be refined now. */
    QString sourceText() const;
    /** R per iteration of the running (or last) refinement. */
    QString progressText() const;
    QTableWidget* table() const { return table_; }
    IntensityFitWindow* intensityView() const { return intensityView_; }

  signals:
    /** A refinement ended with values (result()); not after one that could not start. */
    void refined();
    void applyRequested();
    void restoreRequested();

  private:
    void rebuildBoxes(const std::vector<std::string>& names);
    void finish(physics::ModelRefinement result);
    void showTable(const physics::ModelRefinement& result);
    void showIntensityView();
    void pollIterations();
    void updateButtons();
    void showStatus(const QString& text);

    Refiner refiner_;
    std::optional<physics::Calculation> start_;
    physics::Observations data_;
    physics::RefineOptions options_;
    std::optional<physics::ModelRefinement> result_;
    bool applied_ = false;
    bool restoreAvailable_ = false;

    QWidget* boxes_;
    std::vector<std::pair<std::string, QCheckBox*>> boxByName_;
    QSpinBox* background_;
    QSpinBox* iterations_;
    QPushButton* startButton_;
    QPushButton* stopButton_;
    QPushButton* applyButton_;
    QPushButton* restoreButton_;
    QPushButton* intensityButton_;
    /** What Start refines, or why it cannot. */
    QLabel* source_;
    QLabel* status_;
    QPlainTextEdit* progress_;
    QTableWidget* table_;
    QTimer* poll_;
    ViewTask* task_;
    IntensityFitWindow* intensityView_ = nullptr;

    /** R of each iteration, written by the worker and read by the poll. */
    struct IterationLog;
    std::shared_ptr<IterationLog> log_;
    std::size_t shownIterations_ = 0;
};

/** "scale", "zero" ... first; a site's own "LABEL.name" after its label; the bare site names. */
struct ParameterGroups {
    std::vector<std::string> globals;
    /** Names every site shares (b_par), as refinableNames gives them. */
    std::vector<std::string> shared;
    /** Per label, in the order of first appearance: the parameter part after the dot. */
    std::vector<std::pair<std::string, std::vector<std::string>>> sites;
    /** "phason", then its elements "phason.11", "phason.12", ... */
    std::vector<std::string> strain;
};
ParameterGroups groupParameters(const std::vector<std::string>& names);

}  // namespace tesral
