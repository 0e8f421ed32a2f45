#pragma once

#include <QObject>
#include <optional>

#include "physics/calculation.h"
#include "physics/structure_model.h"

namespace tesral {

/**
 * The window's document: the calculation of the run the session shows and the current
 * intensity model with its use, announcing their changes. Every view shows the document's run;
 * a model edit after a run leaves the views stale until the next run (stale()). Nobody else
 * keeps the model: the dialog edits a copy and hands it back through setModel().
 */
class CalculationDocument : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    /** The calculation of the shown run; null before a run, after New and a cancelled run. */
    const physics::Calculation* shown() const { return shown_ ? &*shown_ : nullptr; }
    /** Called as the run is published: runChanged(). */
    void setShown(physics::Calculation calculation);
    /** New and a cancelled run: runChanged(). */
    void clearShown();

    /** The model the next run uses when intensities are on; no sites: none. */
    const physics::StructureModel& model() const { return model_; }
    void setModel(physics::StructureModel model);
    /** "use intensities": the next run works out the model's intensities. */
    bool useIntensities() const { return useIntensities_; }
    void setUseIntensities(bool use);
    /** The model of the next run: the model when intensities are on and it has sites. */
    std::optional<physics::StructureModel> modelForRun() const;
    /** The radiation of the next run: the model's, X-rays without one. */
    physics::Radiation radiationForRun() const;

    /**
     * The model of the next run differs from the shown run's: the views show what F5 would no
     * longer make.
     */
    bool stale() const { return stale_; }

  signals:
    void runChanged();
    /** The model or its use changed. */
    void modelChanged();
    void staleChanged(bool stale);

  private:
    void updateStale();

    std::optional<physics::Calculation> shown_;
    physics::StructureModel model_;
    bool useIntensities_ = false;
    bool stale_ = false;
};

}  // namespace tesral
