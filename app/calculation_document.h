#pragma once

#include <QObject>
#include <optional>

#include "physics/calculation.h"
#include "physics/structure_model.h"

namespace tesral {

/**
 * The window's document: the calculation of the run the session shows and the current
 * intensity model, announcing their changes. Every view shows the document's run; a model
 * edit after a run leaves the views stale until the next run (stale()).
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
    bool useIntensities() const { return useIntensities_; }
    void setUseIntensities(bool use);
    /** The model of the next run: the model when intensities are on and it has sites. */
    std::optional<physics::StructureModel> modelForRun() const;

    /** The model or its use changed since the shown run was made. */
    bool stale() const { return stale_; }

  signals:
    void runChanged();
    void modelChanged();
    void staleChanged(bool stale);

  private:
    void markStale();

    std::optional<physics::Calculation> shown_;
    physics::StructureModel model_;
    bool useIntensities_ = false;
    bool stale_ = false;
};

}  // namespace tesral
