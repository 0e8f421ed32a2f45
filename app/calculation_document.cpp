#include "app/calculation_document.h"

namespace tesral {

void CalculationDocument::setShown(physics::Calculation calculation) {
    shown_ = std::move(calculation);
    emit runChanged();
    updateStale();
}

void CalculationDocument::clearShown() {
    shown_.reset();
    emit runChanged();
    updateStale();
}

void CalculationDocument::setModel(physics::StructureModel model) {
    if (model == model_) return;
    model_ = std::move(model);
    emit modelChanged();
    updateStale();
}

void CalculationDocument::setUseIntensities(bool use) {
    if (use == useIntensities_) return;
    useIntensities_ = use;
    emit modelChanged();
    updateStale();
}

std::optional<physics::StructureModel> CalculationDocument::modelForRun() const {
    if (!useIntensities_ || model_.sites.empty()) return std::nullopt;
    return model_;
}

physics::Radiation CalculationDocument::radiationForRun() const {
    return useIntensities_ && !model_.sites.empty() ? model_.radiation : physics::Radiation{};
}

void CalculationDocument::updateStale() {
    // An edit taken back (or a use that changes nothing) leaves the shown run current.
    const bool stale = shown_ && shown_->model != modelForRun();
    if (stale == stale_) return;
    stale_ = stale;
    emit staleChanged(stale_);
}

}  // namespace tesral
