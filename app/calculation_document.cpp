#include "app/calculation_document.h"

namespace tesral {

void CalculationDocument::setShown(physics::Calculation calculation) {
    shown_ = std::move(calculation);
    const bool wasStale = stale_;
    stale_ = false;
    emit runChanged();
    if (wasStale) emit staleChanged(false);
}

void CalculationDocument::clearShown() {
    shown_.reset();
    const bool wasStale = stale_;
    stale_ = false;
    emit runChanged();
    if (wasStale) emit staleChanged(false);
}

void CalculationDocument::setModel(physics::StructureModel model) {
    if (model == model_) return;
    model_ = std::move(model);
    emit modelChanged();
    markStale();
}

void CalculationDocument::setUseIntensities(bool use) {
    if (use == useIntensities_) return;
    useIntensities_ = use;
    emit modelChanged();
    markStale();
}

std::optional<physics::StructureModel> CalculationDocument::modelForRun() const {
    if (!useIntensities_ || model_.sites.empty()) return std::nullopt;
    return model_;
}

void CalculationDocument::markStale() {
    if (!shown_ || stale_) return;
    stale_ = true;
    emit staleChanged(true);
}

}  // namespace tesral
