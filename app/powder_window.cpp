#include "app/powder_window.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "app/calculation_document.h"
#include "app/picture_commands.h"
#include "app/powder_approximant.h"
#include "app/powder_fields.h"
#include "app/powder_plot_widget.h"
#include "app/refine_panel.h"
#include "app/run_size.h"
#include "app/screen_fit.h"
#include "app/view_document.h"
#include "app/view_task.h"
#include "physics/approximant_calculation.h"
#include "physics/model_head.h"

namespace tesral {

using namespace powder_fields;

namespace {

const QString kRunFirst =
    QStringLiteral("Run a calculation first (F5): the pattern is that of the run.");

}  // namespace

PowderWindow::PowderWindow(CommandContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window),
      context_(context),
      document_(viewDocument(context)),
      task_(new ViewTask(this)) {
    setObjectName(QStringLiteral("powderWindow"));
    setWindowTitle(tr("Powder pattern"));
    plot_ = new PowderPlotWidget;
    twoTheta_ = field("powderTwoTheta", QStringLiteral("10:120:0.01"), 130);
    caglioti_ = field("powderCaglioti", QStringLiteral("0,0,0.01"), 110);
    eta_ = field("powderEta", QStringLiteral("0.5"), 50);
    monochromator_ = field("powderMonochromator", QString(), 50);
    zero_ = field("powderZero", QString(), 60);
    zero_->setPlaceholderText(QStringLiteral("0"));
    difference_ = new QCheckBox(tr("Difference"));
    difference_->setObjectName(QStringLiteral("powderDifference"));
    approximant_ = new PowderApproximant;
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("powderStatus"));
    status_->setWordWrap(true);
    result_ = new QPlainTextEdit;
    result_->setObjectName(QStringLiteral("powderResult"));
    result_->setReadOnly(true);
    result_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    result_->setMaximumHeight(160);
    progress_ = new QProgressBar;
    progress_->setObjectName(QStringLiteral("powderProgress"));
    progress_->setRange(0, 1000);
    progress_->setFormat(tr("%p % (Escape stops)"));
    progress_->hide();

    const auto command = [this, &context](const QString& text, std::function<void()> work,
                                          std::function<bool()> enabled = {}) {
        auto* action = new QAction(text, this);
        commands_.push_back(
            attach<ViewCommand>(action, context, std::move(work), std::move(enabled)));
        return action;
    };
    QAction* calculateAction = command(tr("Calculate"), [this] { calculate(); });
    QAction* load = command(tr("Load measured pattern…"), [this] { chooseMeasured(); });
    QAction* remove = command(
        tr("Remove measured pattern"), [this] { removeMeasured(); },
        [this] { return measured_.has_value(); });
    QAction* refineAction = command(
        tr("Refine lattice constant"), [this] { refine(); },
        [this] { return measured_ && current_ && !lines_.empty(); });
    QAction* use = command(
        tr("Use refined a, c"), [this] { useRefined(); },
        [this] { return refinement_.has_value(); });
    QAction* refineModelAction = command(tr("Refine…"), [this] { showRefinePanel(); });
    auto* save = new QAction(tr("Save picture…"), this);
    auto* copy = new QAction(tr("Copy"), this);
    auto* print = new QAction(tr("Print…"), this);
    auto* large = new QAction(tr("Large view"), this);
    attach<SavePictureCommand>(save, context, *plot_);
    attach<CopyPictureCommand>(copy, context, *plot_);
    attach<PrintPictureCommand>(print, context, *plot_);
    attach<LargeWindowCommand>(large, context, *this);

    auto* settings = new QHBoxLayout;
    QHBoxLayout* const firstSettings = settings;
    settings->addWidget(new QLabel(tr("2θ from:to:step")));
    settings->addWidget(twoTheta_);
    settings->addWidget(new QLabel(tr("Caglioti U,V,W")));
    settings->addWidget(caglioti_);
    settings->addWidget(new QLabel(tr("η")));
    settings->addWidget(eta_);
    settings->addStretch();
    // Two rows each, so the window fits a screen at twice the scale.
    auto* moreSettings = new QHBoxLayout;
    settings = moreSettings;
    settings->addWidget(new QLabel(tr("Monochromator 2θ")));
    settings->addWidget(monochromator_);
    settings->addWidget(new QLabel(tr("Zero shift")));
    settings->addWidget(zero_);
    settings->addWidget(approximant_);
    settings->addWidget(commandButton(this, calculateAction, "powderCalculate"));
    settings->addStretch();
    auto* actions = new QHBoxLayout;
    QHBoxLayout* const firstActions = actions;
    actions->addWidget(commandButton(this, load, "powderLoad"));
    actions->addWidget(commandButton(this, remove, "powderRemoveMeasured"));
    actions->addWidget(difference_);
    actions->addWidget(commandButton(this, refineAction, "powderRefine"));
    actions->addWidget(commandButton(this, use, "powderUseRefined"));
    actions->addWidget(commandButton(this, refineModelAction, "powderRefineModel"));
    actions->addStretch();
    auto* pictureActions = new QHBoxLayout;
    actions = pictureActions;
    actions->addWidget(commandButton(this, save, "powderSave"));
    actions->addWidget(commandButton(this, copy, "powderCopy"));
    actions->addWidget(commandButton(this, print, "powderPrint"));
    actions->addWidget(commandButton(this, large, "powderLarge"));
    actions->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(firstSettings);
    layout->addLayout(moreSettings);
    layout->addWidget(plot_, 1);
    layout->addWidget(progress_);
    layout->addLayout(firstActions);
    layout->addLayout(pictureActions);
    layout->addWidget(status_);
    layout->addWidget(result_);
    roomForButtonText(*this);
    fitToScreen(*this, QSize(1000, 720));

    connect(difference_, &QCheckBox::toggled, plot_, &PowderPlotWidget::setDifference);
    connect(approximant_, &PowderApproximant::changed, this, &PowderWindow::calculate);
    for (QLineEdit* f : {twoTheta_, caglioti_, eta_, monochromator_, zero_})
        connect(f, &QLineEdit::returnPressed, this, &PowderWindow::calculate);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &PowderWindow::cancel);
    connect(task_, &ViewTask::runningChanged, progress_, &QWidget::setVisible);
    connect(task_, &ViewTask::failed, this, [this](const QString& why) { markStale(why); });
    auto* poll = new QTimer(this);
    poll->setInterval(50);
    connect(poll, &QTimer::timeout, this,
            [this] { progress_->setValue(static_cast<int>(1000 * task_->progress())); });
    connect(task_, &ViewTask::runningChanged, poll, [poll](bool on) {
        if (on)
            poll->start();
        else
            poll->stop();
    });
    connect(&document_, &CalculationDocument::runChanged, this, [this] {
        if (!document_.shown()) {
            task_->cancel();
            current_ = false;
            plot_->clearPattern(kRunFirst);
            showStatus(kRunFirst);
            updateCommands();
            return;
        }
        if (isVisible())
            calculate();
        else
            pending_ = true;
    });
    connect(&document_, &CalculationDocument::staleChanged, this, [this](bool stale) {
        if (stale) markStale(tr("the model changed after this run; run it again (F5) to see it"));
    });
    const QString first =
        document_.shown() ? tr("Press Calculate for the powder pattern.") : kRunFirst;
    plot_->clearPattern(first);
    showStatus(first);
    updateCommands();
}

PowderWindow::~PowderWindow() = default;

QString PowderWindow::statusText() const {
    return status_->text();
}

QString PowderWindow::resultText() const {
    return result_->toPlainText();
}

void PowderWindow::showStatus(const QString& text) {
    status_->setText(text);
}

void PowderWindow::updateCommands() {
    for (ViewCommand* c : commands_) c->updateEnabled();
}

bool PowderWindow::computing() const {
    return task_->running();
}

bool PowderWindow::waitForPattern(int milliseconds) {
    return task_->waitForFinished(milliseconds);
}

void PowderWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (pending_) {
        pending_ = false;
        calculate();
    }
}

void PowderWindow::cancel() {
    // The model refinement runs in its own window but is this view's work too.
    if (refinePanel_ && refinePanel_->running()) refinePanel_->stop();
    if (!task_->running()) return;
    task_->cancel();
    markStale(tr("stopped before the new pattern was done"));
}

void PowderWindow::markStale(const QString& why) {
    current_ = false;
    refinement_.reset();
    if (plot_->hasPattern()) {
        plot_->setTitle(title_ + tr(" (stale)"));
        showStatus(tr("The pattern shown is stale: %1.").arg(why));
    } else {
        showStatus(why.left(1).toUpper() + why.mid(1) + QLatin1Char('.'));
    }
    updateCommands();
    updateRefineStart();
}

bool PowderWindow::calculate() {
    pending_ = false;
    drawingRefined_ = false;
    const physics::Calculation* shown = document_.shown();
    if (!shown) {
        showStatus(kRunFirst);
        return false;
    }
    return calculateWith(*shown);
}

std::optional<physics::PowderRequest> PowderWindow::requestFromFields() {
    const auto grid = numbers(twoTheta_->text(), QLatin1Char(':'), 3);
    const auto widths = numbers(caglioti_->text(), QLatin1Char(','), 3);
    const auto eta = numbers(eta_->text(), QLatin1Char(','), 1);
    const std::optional<double> monochromator = numberOr(monochromator_, 0.0);
    const std::optional<double> zero = numberOr(zero_, 0.0);
    if (!grid || !widths || !eta || !monochromator || !zero) {
        markStale(
            tr("the 2θ grid takes from:to:step, Caglioti U,V,W, η, the monochromator and "
               "the zero shift one number each"));
        return std::nullopt;
    }
    physics::PowderRequest request;
    request.grid = {(*grid)[0], (*grid)[1], (*grid)[2]};
    request.shape = {(*widths)[0], (*widths)[1], (*widths)[2], (*eta)[0]};
    request.monochromator = *monochromator;
    request.zero = *zero;
    return request;
}

bool PowderWindow::calculateWith(const physics::Calculation& run,
                                 std::optional<physics::PowderRequest> given) {
    const std::optional<physics::PowderRequest> fields = given ? given : requestFromFields();
    QString why;
    const std::optional<physics::Calculation> calculation = approximant_->apply(run, why);
    if (!calculation) markStale(why);
    if (!fields || !calculation) return false;
    const physics::PowderRequest request = *fields;
    const PreparedRun prepared = physics::preparePowder(*calculation, request);
    if (!prepared.ready()) {
        markStale(QString::fromStdString(prepared.message));
        return false;
    }
    if (prepared.rowBound > kLargeRunRows &&
        QMessageBox::question(this, windowTitle(),
                              tr("The whole orbits of this pattern may hold up to %1 "
                                 "reflections. Calculate it anyway?")
                                  .arg(groupedCount(prepared.rowBound))) != QMessageBox::Yes) {
        markStale(tr("its new inputs were not calculated"));
        return false;
    }
    showStatus(tr("Calculating the pattern (Escape stops it)…"));
    task_->start([this, c = *calculation, request,
                  compare = approximant_->comparing()](const physics::Watch& watch) {
        auto result = std::make_shared<physics::ComparedPowder>(
            physics::comparedPowder(c, request, compare, watch));
        return std::function<void()>(
            [this, result] { showPattern(result->pattern, result->quasicrystal); });
    });
    return true;
}

void PowderWindow::showPattern(const physics::PowderResult& result,
                               const std::vector<double>& quasicrystal) {
    if (!result.ok()) {
        markStale(QString::fromStdString(result.message));
        return;
    }
    const RunResult& run = result.run;
    // Another system's measured pattern and refinement do not belong to this one.
    if (system_ && *system_ != run.parameters.system) removeMeasured();
    system_ = run.parameters.system;
    lines_ = result.lines;
    lattice_ = result.lattice;
    a6DPerA_ = run.indexDimension == 6
                   ? physics::sixDimensionalConstant(run.basis) / run.parameters.a
                   : 0.0;
    title_ = patternTitle(result);
    if (drawingRefined_) title_ += tr(" (refined, not applied)");
    plot_->setTitle(title_);
    plot_->setPattern(result.request.grid.start, result.request.grid.step, result.profile,
                      result.lines);
    if (!quasicrystal.empty())
        plot_->setCompared(quasicrystal, approximantName(run.parameters), tr("quasicrystal"));
    patternModel_ = result.model;
    current_ = true;
    refinement_.reset();
    if (fit_ && fitBelongsTo(result)) {
        if (measured_ && fit_->calculated.size() == measured_->twoTheta.size()) {
            plot_->setFit(fit_->calculated);
            difference_->setChecked(true);
        }
    } else {
        fit_.reset();
        plot_->setFit({});
    }
    showStatus(tr("%1 reflections in %2 lines; %3.")
                   .arg(run.table.size())
                   .arg(lines_.size())
                   .arg(QString::fromStdString(
                       physics::modelHeadLine(result.model, run.parameters.wavelength))));
    updateCommands();
    updateRefineStart();
}

bool PowderWindow::loadMeasured(const QString& path) {
    const std::string file = QFile::encodeName(path).toStdString();
    // A list of integrated intensities is refined, not drawn.
    std::optional<physics::Observations> observations;
    try {
        observations = physics::readObservationsFile(file);
    } catch (const std::exception&) {
        // Not one the refinement reads alone: the pattern reader says what is wrong.
    }
    if (observations && observations->kind == physics::ObservationKind::Intensities) {
        removeMeasured();
        observations_ = std::move(observations);
        observationsProblem_.clear();
        showStatus(tr("%1: %2 integrated intensities; refine the model against them with "
                      "Refine…")
                       .arg(QFileInfo(path).fileName())
                       .arg(observations_->reflections.size()));
        updateRefineStart();
        return true;
    }
    try {
        measured_ = physics::readMeasuredFile(file);
    } catch (const std::exception& e) {
        showStatus(QString::fromLocal8Bit(e.what()));
        return false;
    }
    observations_.reset();
    observationsProblem_.clear();
    try {
        const bool peaks = measured_->kind == physics::MeasuredKind::PeakList;
        observations_ =
            observations && !peaks && observations->kind == physics::ObservationKind::Pattern
                ? std::move(observations)
                : physics::readObservationsFile(file, peaks);
    } catch (const std::exception& e) {
        observationsProblem_ = QString::fromLocal8Bit(e.what());
    }
    plot_->setMeasured(measured_->twoTheta, measured_->intensity);
    fit_.reset();
    refinement_.reset();
    result_->clear();
    showStatus(tr("%1: %2 points%3.")
                   .arg(QFileInfo(path).fileName())
                   .arg(measured_->twoTheta.size())
                   .arg(measured_->kind == physics::MeasuredKind::PeakList ? tr(" (peak list)")
                                                                           : QString()) +
               (measured_->note.empty()
                    ? QString()
                    : QStringLiteral(" ") + QString::fromStdString(measured_->note)));
    updateCommands();
    return true;
}

void PowderWindow::removeMeasured() {
    measured_.reset();
    observations_.reset();
    observationsProblem_.clear();
    fit_.reset();
    refinement_.reset();
    plot_->setMeasured({}, {});
    result_->clear();
    updateCommands();
    updateRefineStart();
}

QString PowderWindow::savePicture(const QString& path) const {
    return plot_->savePicture(path);
}

void PowderWindow::chooseMeasured() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Load measured pattern"), QString(),
                                     tr("Powder patterns (*.xy *.dat *.txt *.csv);;All files (*)"));
    if (!path.isEmpty()) loadMeasured(path);
}

}  // namespace tesral
