// The powder window's refinement side: the lattice constant from the measured pattern's
// peaks, and the model refined in the Refine panel, used and undone.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <cmath>

#include "app/calculation_document.h"
#include "app/input_panel.h"
#include "app/powder_fields.h"
#include "app/powder_plot_widget.h"
#include "app/powder_window.h"
#include "app/refine_panel.h"
#include "physics/model_head.h"
#include "physics/refinement_text.h"

namespace tesral {

using namespace powder_fields;

bool PowderWindow::refine() {
    refinement_.reset();
    updateCommands();
    if (!current_ || lines_.empty()) {
        showStatus(
            tr("The pattern shown is stale (or there is none): it cannot be refined. "
               "Calculate the pattern of the current run first."));
        return false;
    }
    if (!measured_) {
        showStatus(tr("Load a measured pattern first."));
        return false;
    }
    const std::vector<physics::Peak> peaks = physics::findPeaks(*measured_);
    physics::Refinement r = physics::refineLattice(lines_, peaks, lattice_);
    result_->clear();
    if (!r.ok()) {
        showStatus(QString::fromStdString(r.message));
        return false;
    }
    // A fit on too few peaks, or far from its lines, is not offered.
    if (!r.usable()) {
        const QString warning =
            QString::fromStdString(r.warning) + tr(" The result is not offered.");
        result_->setPlainText(warning);
        showStatus(warning);
        return false;
    }
    result_->setPlainText(QString::fromStdString(physics::refinementText(lines_, r, a6DPerA_)));
    showStatus(tr("%1 peaks, %2 matched.").arg(peaks.size()).arg(r.matches.size()));
    refinement_ = std::move(r);
    updateCommands();
    return true;
}

void PowderWindow::useRefined() {
    if (!refinement_) return;
    const physics::Refinement r = *refinement_;
    zero_->setText(QString::number(r.zero, 'f', 4));
    if (context_.panel) {
        RunInputs inputs = context_.panel->inputs();
        inputs.a = QString::number(r.a, 'f', 5).toStdString();
        if (lattice_.axial) inputs.c = QString::number(r.c, 'f', 5).toStdString();
        context_.panel->setInputs(inputs);
    }
    if (const physics::Calculation* shown = document_.shown()) {
        physics::Calculation refined = *shown;
        refined.parameters.a = r.a;
        if (lattice_.axial) refined.parameters.c = r.c;
        runAgain(refined);
    }
}

void PowderWindow::runAgain(const physics::Calculation& fallback) {
    // The window's run (F5) brings the new constants and model to every view; without it the
    // pattern is drawn again here.
    QAction* run = context_.window
                       ? context_.window->findChild<QAction*>(QStringLiteral("Toolbar1Button6"))
                       : nullptr;
    if (run && run->isEnabled()) {
        run->trigger();
        return;
    }
    drawingRefined_ = false;
    calculateWith(fallback);
}

RefinePanel* PowderWindow::showRefinePanel() {
    if (!refinePanel_) {
        refinePanel_ = new RefinePanel(this);
        connect(refinePanel_, &RefinePanel::refined, this, &PowderWindow::showRefined);
        connect(refinePanel_, &RefinePanel::applyRequested, this, &PowderWindow::applyRefined);
        connect(refinePanel_, &RefinePanel::restoreRequested, this, &PowderWindow::restoreModel);
        refinePanel_->setRestoreAvailable(previous_.has_value());
        updateRefineStart();
    }
    refinePanel_->show();
    refinePanel_->raise();
    return refinePanel_;
}

void PowderWindow::updateRefineStart() {
    if (!refinePanel_) return;
    const physics::Calculation* shown = document_.shown();
    if (!observations_) {
        refinePanel_->clearStart(
            !observationsProblem_.isEmpty()
                ? observationsProblem_
                : tr("Load a measured pattern, a peak list or a list of integrated intensities "
                     "in the powder view first (Load measured pattern…)."));
        return;
    }
    const bool intensities = observations_->kind == physics::ObservationKind::Intensities;
    if (!shown || (!intensities && !current_)) {
        refinePanel_->clearStart(
            tr("The refinement starts from the pattern of the current run: run it (F5) and "
               "calculate its pattern first."));
        return;
    }
    physics::Calculation start = *shown;
    // Without a model the pattern is that of one Al site with the window: refine that one.
    if (!start.model && !patternModel_.sites.empty()) start.model = patternModel_;
    physics::RefineOptions options;
    if (!intensities) {
        const auto grid = numbers(twoTheta_->text(), QLatin1Char(':'), 3);
        const auto widths = numbers(caglioti_->text(), QLatin1Char(','), 3);
        const auto eta = numbers(eta_->text(), QLatin1Char(','), 1);
        const std::optional<double> monochromator = numberOr(monochromator_, 0.0);
        const std::optional<double> zero = numberOr(zero_, 0.0);
        if (!grid || !widths || !eta || !monochromator || !zero) {
            refinePanel_->clearStart(tr("The profile fields cannot be read."));
            return;
        }
        options.shape = {(*widths)[0], (*widths)[1], (*widths)[2], (*eta)[0]};
        options.monochromator = *monochromator;
        options.zero = *zero;
    }
    refinePanel_->setStart(std::move(start), *observations_, options);
}

bool PowderWindow::fitBelongsTo(const physics::PowderResult& result) const {
    if (!fit_ || result.model != fit_->model) return false;
    const auto near = [](double x, double y) { return std::fabs(x - y) <= 1e-5 * std::fabs(y); };
    const RunParameters& p = result.run.parameters;
    return near(p.a, fit_->a) && (result.run.indexDimension != 5 || near(p.c, fit_->c));
}

void PowderWindow::showRefined() {
    if (!refinePanel_ || !refinePanel_->result()) return;
    const physics::ModelRefinement& r = *refinePanel_->result();
    const physics::Calculation* shown = document_.shown();
    const std::optional<physics::PowderRequest> fields = requestFromFields();
    if (!shown || !fields) return;
    fit_ = r;
    // The pattern of the refined model and constants, its lines where they now lie.
    physics::Calculation refined = *shown;
    refined.model = r.model;
    refined.parameters.a = r.a;
    if (r.c > 0.0) refined.parameters.c = r.c;
    physics::PowderRequest request = *fields;
    request.shape = r.shape;
    request.zero = r.zero;
    drawingRefined_ = true;
    if (!calculateWith(refined, request)) drawingRefined_ = false;
}

bool PowderWindow::applyRefined() {
    if (!refinePanel_ || !refinePanel_->result()) return false;
    const physics::ModelRefinement r = *refinePanel_->result();
    Previous previous{document_.model(), document_.useIntensities(), std::nullopt,
                      zero_->text(),     caglioti_->text(),          eta_->text()};
    if (context_.panel) previous.inputs = context_.panel->inputs();
    previous_ = std::move(previous);
    const bool axial = r.c > 0.0 && lattice_.axial;
    zero_->setText(QString::number(r.zero, 'f', 4));
    caglioti_->setText(QStringLiteral("%1,%2,%3")
                           .arg(r.shape.u, 0, 'g', 6)
                           .arg(r.shape.v, 0, 'g', 6)
                           .arg(r.shape.w, 0, 'g', 6));
    eta_->setText(QString::number(r.shape.eta, 'g', 4));
    if (context_.panel) {
        RunInputs inputs = context_.panel->inputs();
        inputs.a = QString::number(r.a, 'f', 5).toStdString();
        if (axial) inputs.c = QString::number(r.c, 'f', 5).toStdString();
        context_.panel->setInputs(inputs);
    }
    document_.setModel(r.model);
    document_.setUseIntensities(true);
    refinePanel_->setApplied(true);
    refinePanel_->setRestoreAvailable(true);
    if (const physics::Calculation* shown = document_.shown()) {
        physics::Calculation refined = *shown;
        refined.model = r.model;
        refined.parameters.a = r.a;
        if (axial) refined.parameters.c = r.c;
        runAgain(refined);
    }
    return true;
}

bool PowderWindow::restoreModel() {
    if (!previous_) return false;
    const Previous previous = std::move(*previous_);
    previous_.reset();
    zero_->setText(previous.zero);
    caglioti_->setText(previous.caglioti);
    eta_->setText(previous.eta);
    if (context_.panel && previous.inputs) context_.panel->setInputs(*previous.inputs);
    document_.setModel(previous.model);
    document_.setUseIntensities(previous.useIntensities);
    if (refinePanel_) {
        refinePanel_->setApplied(false);
        refinePanel_->setRestoreAvailable(false);
    }
    if (const physics::Calculation* shown = document_.shown()) {
        physics::Calculation before = *shown;
        before.model = document_.modelForRun();
        if (previous.inputs) {
            std::string error;
            if (auto typed = physics::calculationFrom(*previous.inputs, before.model, error))
                before = std::move(*typed);
        }
        runAgain(before);
    }
    return true;
}

}  // namespace tesral
