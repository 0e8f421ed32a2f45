#include "app/zone_window.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <cmath>

#include "app/calculation_document.h"
#include "app/picture_commands.h"
#include "app/screen_fit.h"
#include "app/view_document.h"
#include "app/view_task.h"
#include "app/zone_measured_panel.h"
#include "app/zone_view.h"
#include "report/large_run.h"

namespace tesral {
namespace {

/** A number of 0 or more, or nothing. */
std::optional<double> nonNegative(const QLineEdit* field) {
    const QString text = field->text().trimmed();
    if (text.isEmpty()) return 0.0;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !(value >= 0.0) || !std::isfinite(value)) return std::nullopt;
    return value;
}

QString axisTitle(const AxisIndices& axis, int n, const QString& name) {
    QString title = QStringLiteral("zone axis [");
    for (int i = 0; i < n; ++i) {
        if (i) title += QLatin1Char(' ');
        title += QString::number(static_cast<qlonglong>(axis[static_cast<std::size_t>(i)]));
    }
    title += QLatin1Char(']');
    if (!name.isEmpty()) title += QStringLiteral(" (") + name + QLatin1Char(')');
    return title;
}

const QString kRunFirst =
    QStringLiteral("Run a calculation first (F5): the section is taken from it.");

}  // namespace

std::string parseAxisField(const QString& text, QuasicrystalSystem system, AxisIndices& axis) {
    return parseZoneAxis(text.trimmed().toStdString(), system, axis);
}

std::string parseReflectionField(const QString& text, QuasicrystalSystem system,
                                 AxisIndices& reflection) {
    std::array<int, 6> h{};
    const std::string problem = parseReflectionIndices(text.trimmed().toStdString(), system, h);
    if (!problem.empty()) return "x along: " + problem;
    for (std::size_t i = 0; i < h.size(); ++i) reflection[i] = h[i];
    return {};
}

ZoneAxisWindow::ZoneAxisWindow(CommandContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window),
      context_(context),
      document_(viewDocument(context)),
      presets_(new QComboBox),
      axis_(new QLineEdit),
      xAxis_(new QLineEdit),
      slab_(new QLineEdit(QStringLiteral("0"))),
      camera_(new QLineEdit),
      status_(new QLabel),
      progress_(new QProgressBar),
      view_(new ZonePatternView),
      measured_(new ZoneMeasuredPanel(context, *view_)),
      task_(new ViewTask(this)) {
    setObjectName(QStringLiteral("wndZoneAxis"));
    setWindowTitle(QStringLiteral("Zone axis"));
    presets_->setObjectName(QStringLiteral("cmbZonePreset"));
    axis_->setObjectName(QStringLiteral("tfZoneAxis"));
    axis_->setPlaceholderText(QStringLiteral("indices, blanks or commas"));
    xAxis_->setObjectName(QStringLiteral("tfZoneXAxis"));
    xAxis_->setPlaceholderText(QStringLiteral("shortest reflection"));
    slab_->setObjectName(QStringLiteral("tfZoneSlab"));
    camera_->setObjectName(QStringLiteral("tfZoneCamera"));
    camera_->setPlaceholderText(QStringLiteral("none: scale in 1/nm"));
    status_->setObjectName(QStringLiteral("lblZoneStatus"));
    status_->setWordWrap(true);
    progress_->setObjectName(QStringLiteral("zoneProgress"));
    progress_->setRange(0, 0);  // no fraction: a busy bar
    progress_->setFormat(QStringLiteral("Escape stops"));
    progress_->hide();
    view_->setObjectName(QStringLiteral("pbZone"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Axis"), presets_);
    form->addRow(QStringLiteral("Indices"), axis_);
    form->addRow(QStringLiteral("x along"), xAxis_);
    form->addRow(QStringLiteral("Slab (1/\u00c5)"), slab_);
    form->addRow(QStringLiteral("Camera length (mm)"), camera_);
    auto* buttons = new QVBoxLayout;
    buttons->addLayout(form);
    addPictureButtons(*buttons, *this, context, *view_, "Zone", [this] { drawSection(); });
    buttons->addWidget(progress_);
    buttons->addWidget(status_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(view_, 1);
    layout->addWidget(measured_);
    fitToScreen(*this, QSize(1200, 680));

    connect(presets_, &QComboBox::activated, this, &ZoneAxisWindow::presetChosen);
    for (QLineEdit* field : {axis_, xAxis_, slab_, camera_})
        connect(field, &QLineEdit::returnPressed, this, &ZoneAxisWindow::drawSection);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &ZoneAxisWindow::cancel);
    connect(task_, &ViewTask::runningChanged, this, &ZoneAxisWindow::showBusy);
    connect(measured_, &ZoneMeasuredPanel::runningChanged, this, &ZoneAxisWindow::showBusy);
    connect(measured_, &ZoneMeasuredPanel::message, this, [this](const QString& text) {
        message_ = text;
        showStatus();
    });
    connect(measured_, &ZoneMeasuredPanel::axisFound, this, [this](const QString& preset) {
        const int index = presets_->findText(preset);
        if (index >= 0) presets_->setCurrentIndex(index);
        if (index < 0 || !showPreset(index)) measured_->dropPendingFit();
    });
    connect(task_, &ViewTask::failed, this, [this](const QString& why) { fail(why, true); });
    connect(&document_, &CalculationDocument::runChanged, this, &ZoneAxisWindow::runChanged);
    connect(&document_, &CalculationDocument::staleChanged, this, [this](bool stale) {
        stale_ = stale;
        showStatus();
    });
    fillPresets();
    if (!document_.shown()) fail(kRunFirst, true);
}

ZoneAxisWindow::~ZoneAxisWindow() = default;

QString ZoneAxisWindow::statusText() const {
    return status_->text();
}

const ZoneSection* ZoneAxisWindow::section() const {
    return result_ ? &result_->section : nullptr;
}

bool ZoneAxisWindow::computing() const {
    return task_->running();
}

bool ZoneAxisWindow::waitForSection(int milliseconds) {
    return task_->waitForFinished(milliseconds);
}

void ZoneAxisWindow::showBusy() {
    progress_->setVisible(task_->running() || measured_->fitting());
}

void ZoneAxisWindow::cancel() {
    measured_->cancel();
    if (!task_->running()) return;
    task_->cancel();
    message_ = QStringLiteral("Stopped: the pattern shown is the one before.");
    showStatus();
}

void ZoneAxisWindow::showStatus() {
    QString text = message_;
    if (stale_ && result_)
        text += QStringLiteral(
            "\nStale: the model changed after this run; run it again (F5) to see it.");
    status_->setText(text);
}

void ZoneAxisWindow::fail(const QString& why, bool inPicture) {
    message_ = why;
    if (inPicture) {
        view_->showMessage(why);
        result_.reset();
        measured_->setSection(nullptr, {});
    }
    showStatus();
}

void ZoneAxisWindow::runChanged() {
    stale_ = document_.stale();
    fillPresets();
    if (!document_.shown()) {
        task_->cancel();
        fail(kRunFirst, true);
        return;
    }
    if (isVisible()) drawSection();
}

void ZoneAxisWindow::fillPresets() {
    const QString kept = presets_->currentText();
    presets_->clear();
    const physics::Calculation* shown = document_.shown();
    if (!shown) return;
    for (const ZonePreset& p : zonePresets(shown->parameters.system))
        presets_->addItem(QString::fromLatin1(p.name.data(), static_cast<int>(p.name.size())));
    presets_->addItem(QStringLiteral("indices"));
    const int again = presets_->findText(kept);
    presets_->setCurrentIndex(again >= 0 ? again : 0);
    if (again < 0 || axis_->text().isEmpty()) presetChosen(presets_->currentIndex());
}

void ZoneAxisWindow::presetChosen(int index) {
    showPreset(index);
}

bool ZoneAxisWindow::showPreset(int index) {
    const physics::Calculation* shown = document_.shown();
    if (!shown) return false;
    const QuasicrystalSystem system = shown->parameters.system;
    const auto presets = zonePresets(system);
    if (index < 0 || index >= static_cast<int>(presets.size())) return false;  // "indices"
    QStringList parts;
    for (int i = 0; i < indexDimensionOf(system); ++i)
        parts << QString::number(static_cast<qlonglong>(
            presets[static_cast<std::size_t>(index)].axis[static_cast<std::size_t>(i)]));
    axis_->setText(parts.join(QLatin1Char(',')));
    return drawSection();
}

bool ZoneAxisWindow::drawSection() {
    const physics::Calculation* shown = document_.shown();
    if (!shown) {
        fail(kRunFirst, true);
        return false;
    }
    const QuasicrystalSystem system = shown->parameters.system;
    ZoneRequest request;
    const std::string problem = parseAxisField(axis_->text(), system, request.axis);
    if (!problem.empty()) {
        fail(QString::fromStdString(problem), false);
        return false;
    }
    if (!xAxis_->text().trimmed().isEmpty()) {
        AxisIndices x{};
        const std::string why = parseReflectionField(xAxis_->text(), system, x);
        if (!why.empty()) {
            fail(QString::fromStdString(why), false);
            return false;
        }
        request.reference = x;
    }
    const std::optional<double> slab = nonNegative(slab_);
    if (!slab) {
        fail(QStringLiteral("The slab must be a number of 0 or more (1/\u00c5)."), false);
        return false;
    }
    request.slab = *slab;
    const std::optional<double> camera = nonNegative(camera_);
    if (!camera) {
        fail(QStringLiteral("The camera length must be a number of 0 or more (mm)."), false);
        return false;
    }
    // The preset's name goes with the axis it names; the drop-down follows the indices.
    QString name;
    for (const ZonePreset& p : zonePresets(system))
        if (p.axis == request.axis)
            name = QString::fromLatin1(p.name.data(), static_cast<int>(p.name.size()));
    const int chosen = presets_->findText(name.isEmpty() ? QStringLiteral("indices") : name);
    if (chosen >= 0) presets_->setCurrentIndex(chosen);
    const QString title = axisTitle(request.axis, indexDimensionOf(system), name);

    physics::Calculation calculation = *shown;
    calculation.maxRows = kLargeRunRows;
    message_ = QStringLiteral("Working out the section (Escape stops it)...");
    showStatus();
    task_->start([this, calculation, request, title,
                  camera = *camera](const physics::Watch& watch) -> std::function<void()> {
        // The whole section of the theta and qi windows; the run's own box when that is too
        // large, saying so.
        auto result = std::make_shared<physics::ZoneResult>(
            physics::zone(calculation, request, watch, physics::ZoneExtent::WholeSection));
        QString note;
        if (!result->ok() && !(watch.stop && *watch.stop)) {
            physics::ZoneResult cut = physics::zone(calculation, request, watch);
            if (cut.ok()) {
                note = QStringLiteral("The run's loop limits cut this section: ") +
                       QString::fromStdString(result->message);
                *result = std::move(cut);
            }
        }
        return [this, result, title, camera, note] { showResult(result, title, camera, note); };
    });
    return true;
}

void ZoneAxisWindow::showResult(std::shared_ptr<physics::ZoneResult> result, const QString& title,
                                double camera, const QString& note) {
    if (!result->ok()) {
        fail(QString::fromStdString(result->message), true);
        return;
    }
    result_ = std::move(result);
    view_->showSection(&result_->section, title, camera);
    measured_->setSection(result_, title);
    const std::size_t count = result_->section.run.table.size();
    std::size_t near = 0;
    for (const ZoneSpot& spot : result_->section.spots) near += spot.nearZone;
    QString text = QString::number(count - near) + QStringLiteral(" reflections in the section");
    if (near > 0) text += QStringLiteral(", ") + QString::number(near) + QStringLiteral(" near it");
    if (count == 0) text = kEmptySectionText;
    if (result_->cutByLimits) text += QStringLiteral("; the run's loop limits cut the section");
    if (!note.isEmpty()) text += QStringLiteral(".\n") + note;
    message_ = text;
    showStatus();
}

std::optional<QString> ZoneAxisWindow::savePicture(const QString& path) const {
    const QString error = view_->savePicture(path);
    if (error.isEmpty()) return std::nullopt;
    return error;
}

ZoneAxisWindow* ZoneAxisCommand::openZoneWindow(CommandContext& context) {
    auto* window = context.window ? context.window->findChild<ZoneAxisWindow*>() : nullptr;
    if (!window) window = new ZoneAxisWindow(context, context.window);
    window->show();
    window->raise();
    window->drawSection();
    return window;
}

}  // namespace tesral
