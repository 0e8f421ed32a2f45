#include "app/zone_measured_panel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>

#include "app/calculation_document.h"
#include "app/native_files.h"
#include "app/picture_commands.h"
#include "app/view_document.h"
#include "app/view_task.h"
#include "app/zone_fit_panel.h"
#include "app/zone_view.h"
#include "physics/diffraction_image.h"
#include "physics/spot_finder.h"
#include "plots/measured_overlay.h"
#include "report/large_run.h"

namespace tesral {
namespace {

const QString kDragHint = QStringLiteral(
    "Drag the pattern to move its centre, Shift+drag to rotate it, Ctrl+drag to scale it.");

}  // namespace

ZoneMeasuredPanel::ZoneMeasuredPanel(CommandContext& context, ZonePatternView& view,
                                     QWidget* parent)
    : QWidget(parent),
      context_(context),
      view_(view),
      contrast_(new QComboBox),
      gamma_(new QLineEdit(QStringLiteral("0.5"))),
      ellipticity_(new QCheckBox(QStringLiteral("Elliptical distortion"))),
      autoAxis_(new QCheckBox(QStringLiteral("Try every preset axis"))),
      results_(new ZoneFitPanel),
      task_(new ViewTask(this)) {
    setObjectName(QStringLiteral("pnlZoneMeasured"));
    contrast_->setObjectName(QStringLiteral("cmbZoneContrast"));
    contrast_->addItems(
        {QStringLiteral("linear"), QStringLiteral("logarithmic"), QStringLiteral("gamma")});
    contrast_->setCurrentIndex(static_cast<int>(ImageContrast::Logarithmic));
    gamma_->setObjectName(QStringLiteral("tfZoneGamma"));
    gamma_->setToolTip(
        QStringLiteral("The exponent of the gamma contrast: below 1 lifts faint spots"));
    gamma_->setMaximumWidth(60);
    gamma_->setEnabled(false);
    ellipticity_->setObjectName(QStringLiteral("cbZoneEllipticity"));
    autoAxis_->setObjectName(QStringLiteral("cbZoneAutoAxis"));
    autoAxis_->setToolTip(QStringLiteral(
        "Fit fits the section of each named axis, draws the one that matches the most spots "
        "and puts it on the photograph"));

    QAction* load = new QAction(QStringLiteral("Load measured pattern..."), this);
    load->setToolTip(QStringLiteral("A PNG, TIFF or PGM photograph to put under the section"));
    QAction* fitAction = new QAction(QStringLiteral("Fit"), this);
    fitAction->setToolTip(QStringLiteral("Finds the photograph's spots and fits the centre, "
                                         "rotation and scale of the section to them. ") +
                          kDragHint);
    attach<ViewCommand>(load, context, [this] { choose(); });
    attach<ViewCommand>(fitAction, context, [this] { fit(); });

    auto* contrastRow = new QHBoxLayout;
    contrastRow->addWidget(new QLabel(QStringLiteral("Contrast")));
    contrastRow->addWidget(contrast_, 1);
    contrastRow->addWidget(gamma_);
    auto* hint = new QLabel(kDragHint);
    hint->setObjectName(QStringLiteral("lblZoneDragHint"));
    hint->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(commandButton(this, load, "btZoneLoadMeasured"));
    layout->addLayout(contrastRow);
    layout->addWidget(ellipticity_);
    layout->addWidget(autoAxis_);
    layout->addWidget(commandButton(this, fitAction, "btZoneFit"));
    layout->addWidget(results_);
    layout->addWidget(hint);
    layout->addStretch();

    connect(contrast_, &QComboBox::currentIndexChanged, this, [this](int index) {
        gamma_->setEnabled(index == static_cast<int>(ImageContrast::Gamma));
        showContrast();
    });
    connect(gamma_, &QLineEdit::editingFinished, this, &ZoneMeasuredPanel::showContrast);
    connect(task_, &ViewTask::runningChanged, this, &ZoneMeasuredPanel::runningChanged);
    connect(task_, &ViewTask::failed, this, &ZoneMeasuredPanel::message);
    connect(&view_, &ZonePatternView::placementChanged, this, &ZoneMeasuredPanel::placementMoved);
}

ZoneMeasuredPanel::~ZoneMeasuredPanel() = default;

void ZoneMeasuredPanel::choose() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Load measured pattern"), QString(),
        QStringLiteral("Diffraction photographs (*.png *.tif *.tiff *.pgm);;All files (*)"));
    if (path.isEmpty()) return;
    if (const std::optional<QString> why = loadImage(path)) emit message(*why);
}

std::optional<QString> ZoneMeasuredPanel::loadImage(const QString& path) {
    std::shared_ptr<const physics::DiffractionImage> image;
    try {
        image = std::make_shared<const physics::DiffractionImage>(
            physics::readDiffractionImage(nativePath(path)));
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    }
    task_->cancel();
    pendingFit_ = false;
    image_ = std::move(image);
    spots_.reset();
    fit_.reset();
    moved_ = false;
    view_.showMeasured(image_, QImage());
    showContrast();
    // Before a fit the section stands in the middle, filling most of the photograph, so that
    // it can be dragged into place.
    if (section_ && section_->ok()) {
        double extent = 0.0;
        for (const ZoneSpot& s : section_->section.spots)
            extent = std::max(extent, std::hypot(s.u, s.v));
        physics::PatternCalibration start = view_.overlay()->placement();
        if (extent > 0.0) start.scale = 0.45 * std::min(image_->width, image_->height) / extent;
        view_.setPlacement(start);
    }
    results_->clear();
    emit message(QStringLiteral("%1: %2 \u00d7 %3 pixels. Fit puts the section on its spots; ")
                     .arg(QFileInfo(path).fileName())
                     .arg(image_->width)
                     .arg(image_->height) +
                 kDragHint.left(1).toLower() + kDragHint.mid(1));
    return std::nullopt;
}

void ZoneMeasuredPanel::showContrast() {
    MeasuredOverlay* overlay = view_.overlay();
    if (!overlay || !image_) return;
    bool ok = false;
    const double gamma = gamma_->text().trimmed().toDouble(&ok);
    overlay->setScreen(contrastImage(image_->width, image_->height, image_->pixels,
                                     static_cast<ImageContrast>(contrast_->currentIndex()),
                                     ok && gamma > 0.0 ? gamma : 0.5));
    view_.update();
}

void ZoneMeasuredPanel::setSection(std::shared_ptr<const physics::ZoneResult> section,
                                   const QString& title) {
    section_ = std::move(section);
    title_ = title;
    MeasuredOverlay* overlay = view_.overlay();
    // The rows matched belong to the section before.
    if (overlay) overlay->setMatches({});
    if (pendingFit_) {
        // The section of the axis that fitted best among all: fitted now, searched afresh.
        pendingFit_ = false;
        if (section_ && section_->ok() && image_) {
            moved_ = false;
            fitDrawn();
            return;
        }
    }
    // Match the new section where the pattern is.
    if (overlay && fit_) placementMoved(overlay->placement());
}

bool ZoneMeasuredPanel::fit() {
    if (!image_) {
        emit message(QStringLiteral("Load a measured pattern first: Fit puts the section on it."));
        return false;
    }
    if (autoAxis_->isChecked()) {
        if (!viewDocument(context_).shown()) {
            emit message(
                QStringLiteral("Run a calculation first (F5): the sections come from it."));
            return false;
        }
        fitEveryAxis();
        return true;
    }
    if (!section_ || !section_->ok()) {
        emit message(QStringLiteral("Draw a section first: Fit matches it to the photograph."));
        return false;
    }
    fitDrawn();
    return true;
}

void ZoneMeasuredPanel::fitDrawn() {
    pendingFit_ = false;
    physics::PatternFitOptions options;
    options.ellipticity = ellipticity_->isChecked();
    if (moved_ && view_.overlay()) options.start = view_.overlay()->placement();
    emit message(QStringLiteral("Fitting the section to the photograph (Escape stops it)..."));
    task_->start([this, image = image_, spots = spots_, section = section_,
                  options](const physics::Watch& watch) mutable -> std::function<void()> {
        if (!spots)
            spots = std::make_shared<const std::vector<physics::MeasuredSpot>>(
                physics::findSpots(*image, {}, watch.stop));
        if (watch.stop && *watch.stop) return {};
        auto fit = std::make_shared<physics::PatternFit>(physics::fitPattern(
            *spots, section->section, section->intensities, options, watch.stop));
        return [this, fit, spots, image] {
            if (image != image_) return;  // another photograph was loaded meanwhile
            showFit(fit, spots);
        };
    });
}

void ZoneMeasuredPanel::fitEveryAxis() {
    pendingFit_ = false;
    physics::Calculation calculation = *viewDocument(context_).shown();
    calculation.maxRows = kLargeRunRows;
    // A placement dragged for the drawn axis says nothing about the others: each is searched.
    physics::PatternFitOptions options;
    options.ellipticity = ellipticity_->isChecked();
    emit message(QStringLiteral("Fitting the section of every named axis (Escape stops it)..."));
    task_->start([this, image = image_, spots = spots_, calculation,
                  options](const physics::Watch& watch) mutable -> std::function<void()> {
        if (!spots)
            spots = std::make_shared<const std::vector<physics::MeasuredSpot>>(
                physics::findSpots(*image, {}, watch.stop));
        if (watch.stop && *watch.stop) return {};
        auto fit = std::make_shared<physics::PatternFit>(
            physics::fitMeasuredPattern(calculation, physics::kAutoAxis, *spots, options, watch));
        return [this, fit, spots, image] {
            if (image != image_) return;
            spots_ = spots;
            if (MeasuredOverlay* overlay = view_.overlay()) overlay->setSpots(*spots_);
            view_.update();
            if (!fit->ok()) {
                emit message(QString::fromStdString(fit->message));
                return;
            }
            // The window draws the section as its fields ask (slab, x along) and the fit to
            // that section follows, so that the numbers belong to the section shown.
            const QString name = QString::fromStdString(fit->axisName);
            pendingFit_ = true;
            emit message(QStringLiteral("The %1 axis fits best (%2 spots matched); drawing its "
                                        "section...")
                             .arg(name)
                             .arg(fit->matches.size()));
            emit axisFound(name);
        };
    });
}

void ZoneMeasuredPanel::dropPendingFit() {
    pendingFit_ = false;
}

bool ZoneMeasuredPanel::fitting() const {
    return task_->running() || pendingFit_;
}

bool ZoneMeasuredPanel::waitForFit(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (fitting()) {
        const int left = milliseconds - static_cast<int>(clock.elapsed());
        if (left <= 0) return false;
        if (task_->running())
            task_->waitForFinished(left);
        else  // the window draws the section of the axis found
            QCoreApplication::processEvents(QEventLoop::AllEvents, std::min(left, 20));
    }
    return true;
}

bool ZoneMeasuredPanel::cancel() {
    if (!task_->running() && !pendingFit_) return false;
    pendingFit_ = false;
    task_->cancel();
    emit message(QStringLiteral("Fit stopped: the placement shown is the one before."));
    return true;
}

void ZoneMeasuredPanel::showFit(std::shared_ptr<physics::PatternFit> fit,
                                std::shared_ptr<const std::vector<physics::MeasuredSpot>> spots) {
    spots_ = std::move(spots);
    MeasuredOverlay* overlay = view_.overlay();
    if (!overlay) return;
    overlay->setSpots(*spots_);
    if (!fit->ok()) {
        emit message(QString::fromStdString(fit->message));
        view_.update();
        return;
    }
    fit_ = std::move(fit);
    moved_ = false;
    overlay->setMatches(fit_->matches);
    view_.setPlacement(fit_->calibration);
    showNumbers();
    emit message(QStringLiteral("%1 of %2 measured spots matched. ")
                     .arg(fit_->matches.size())
                     .arg(spots_->size()) +
                 kDragHint);
}

void ZoneMeasuredPanel::placementMoved(const physics::PatternCalibration& calibration) {
    moved_ = true;
    MeasuredOverlay* overlay = view_.overlay();
    if (!overlay) return;
    if (spots_ && fit_ && section_ && section_->ok()) {
        // The matches follow the drag, within the fit's own radius.
        overlay->setMatches(physics::matchSpots(*spots_, section_->section, section_->intensities,
                                                calibration, fit_->matchRadius));
        showNumbers();
    } else {
        results_->showPlacement(calibration);
    }
}

void ZoneMeasuredPanel::showNumbers() {
    const MeasuredOverlay* overlay = view_.overlay();
    if (!overlay) return;
    FitSummary summary;
    summary.calibration = overlay->placement();
    summary.axis = title_;
    const auto& matches = overlay->matches();
    summary.matched = static_cast<int>(matches.size());
    summary.unmatchedMeasured = static_cast<int>(spots_ ? spots_->size() - matches.size() : 0);
    double sum = 0.0;
    for (const physics::SpotMatch& m : matches) sum += m.distance * m.distance;
    if (!matches.empty()) summary.rmsPixels = std::sqrt(sum / static_cast<double>(matches.size()));
    results_->showFit(summary);
}

}  // namespace tesral
