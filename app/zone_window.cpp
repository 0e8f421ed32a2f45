#include "app/zone_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/calculation_document.h"
#include "app/window_session.h"
#include "app/zone_view.h"
#include "physics/intensity.h"
#include "plots/picture_settings.h"
#include "plots/zone_picture.h"
#include "report/safe_file.h"

namespace tesral {
namespace {

/** The run a section is taken from: the published one, with its own inputs. */
PreparedRun preparedFrom(const RunResult& r) {
    PreparedRun p;
    p.header = r.header;
    p.groupStatusText = r.groupStatusText;
    p.group.number = r.parameters.groupNumber;
    p.group.symbol = r.parameters.groupSymbol;
    p.group.codes = r.parameters.groupCodes;
    p.parameters = r.parameters;
    p.basis = r.basis;
    p.indexDimension = r.indexDimension;
    p.totalLoops = r.totalLoops;
    return p;
}

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

QPushButton* button(const char* name, const QString& text) {
    auto* b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    return b;
}

}  // namespace

ZoneAxisWindow::ZoneAxisWindow(WindowSession& session, const physics::StructureModel* model,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      model_(model),
      presets_(new QComboBox),
      axis_(new QLineEdit),
      xAxis_(new QLineEdit),
      slab_(new QLineEdit(QStringLiteral("0"))),
      camera_(new QLineEdit),
      status_(new QLabel),
      view_(new ZonePatternView) {
    setObjectName(QStringLiteral("wndZoneAxis"));
    setWindowTitle(QStringLiteral("Zone axis"));
    presets_->setObjectName(QStringLiteral("cmbZonePreset"));
    axis_->setObjectName(QStringLiteral("tfZoneAxis"));
    xAxis_->setObjectName(QStringLiteral("tfZoneXAxis"));
    xAxis_->setPlaceholderText(QStringLiteral("shortest reflection"));
    slab_->setObjectName(QStringLiteral("tfZoneSlab"));
    camera_->setObjectName(QStringLiteral("tfZoneCamera"));
    camera_->setPlaceholderText(QStringLiteral("none: scale in 1/nm"));
    status_->setObjectName(QStringLiteral("lblZoneStatus"));
    status_->setWordWrap(true);
    view_->setObjectName(QStringLiteral("pbZone"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Axis"), presets_);
    form->addRow(QStringLiteral("Indices"), axis_);
    form->addRow(QStringLiteral("x along"), xAxis_);
    form->addRow(QStringLiteral("Slab (1/\u00c5)"), slab_);
    form->addRow(QStringLiteral("Camera length (mm)"), camera_);
    QPushButton* draw = button("btZoneDraw", QStringLiteral("Draw"));
    QPushButton* saveButton = button("btZoneSave", QStringLiteral("Save..."));
    QPushButton* copyButton = button("btZoneCopy", QStringLiteral("Copy"));
    QPushButton* printButton = button("btZonePrint", QStringLiteral("Print..."));
    QPushButton* large = button("btZoneLarge", QStringLiteral("Large view"));
    auto* buttons = new QVBoxLayout;
    buttons->addLayout(form);
    for (QPushButton* b : {draw, saveButton, copyButton, printButton, large}) buttons->addWidget(b);
    buttons->addWidget(status_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(view_, 1);
    resize(900, 620);

    connect(presets_, &QComboBox::activated, this, &ZoneAxisWindow::presetChosen);
    for (QLineEdit* field : {axis_, xAxis_, slab_, camera_})
        connect(field, &QLineEdit::returnPressed, this, &ZoneAxisWindow::drawSection);
    connect(draw, &QPushButton::clicked, this, &ZoneAxisWindow::drawSection);
    connect(saveButton, &QPushButton::clicked, this, &ZoneAxisWindow::save);
    connect(copyButton, &QPushButton::clicked, this, &ZoneAxisWindow::copy);
    connect(printButton, &QPushButton::clicked, this, &ZoneAxisWindow::print);
    connect(large, &QPushButton::clicked, this, &ZoneAxisWindow::toggleLarge);
    // The rows a section points into go with the run.
    connect(&session_, &WindowSession::aboutToChange, this, [this] {
        view_->showSection(nullptr, QString(), 0.0);
        section_.reset();
    });
    connect(&session_, &WindowSession::published, this, [this] {
        fillPresets();
        if (isVisible()) drawSection();
    });
    fillPresets();
}

QString ZoneAxisWindow::statusText() const {
    return status_->text();
}

void ZoneAxisWindow::fillPresets() {
    const QString kept = presets_->currentText();
    presets_->clear();
    if (!session_.calculated()) return;
    for (const ZonePreset& p : zonePresets(session_.core().result().parameters.system))
        presets_->addItem(QString::fromLatin1(p.name.data(), static_cast<int>(p.name.size())));
    presets_->addItem(QStringLiteral("indices"));
    const int again = presets_->findText(kept);
    presets_->setCurrentIndex(again >= 0 ? again : 0);
    if (again < 0 || axis_->text().isEmpty()) presetChosen(presets_->currentIndex());
}

void ZoneAxisWindow::presetChosen(int index) {
    if (!session_.calculated()) return;
    const auto presets = zonePresets(session_.core().result().parameters.system);
    if (index < 0 || index >= static_cast<int>(presets.size())) return;  // "indices"
    const int n = session_.core().result().indexDimension;
    QStringList parts;
    for (int i = 0; i < n; ++i)
        parts << QString::number(static_cast<qlonglong>(
            presets[static_cast<std::size_t>(index)].axis[static_cast<std::size_t>(i)]));
    axis_->setText(parts.join(QLatin1Char(',')));
    drawSection();
}

bool ZoneAxisWindow::drawSection() {
    const auto fail = [this](const QString& why) {
        status_->setText(why);
        return false;
    };
    if (!session_.calculated() || session_.busy())
        return fail(QStringLiteral("Run a calculation first (F5): the section is taken from it."));
    const RunResult& run = session_.core().result();
    AxisIndices axis{};
    const std::string problem =
        parseZoneAxis(axis_->text().toStdString(), run.parameters.system, axis);
    if (!problem.empty()) return fail(QString::fromStdString(problem));
    std::optional<AxisIndices> reference;
    if (!xAxis_->text().trimmed().isEmpty()) {
        AxisIndices x{};
        const std::string why =
            parseZoneAxis(xAxis_->text().toStdString(), run.parameters.system, x);
        if (!why.empty()) return fail(QStringLiteral("x along: ") + QString::fromStdString(why));
        reference = x;
    }
    const std::optional<double> slab = nonNegative(slab_);
    if (!slab) return fail(QStringLiteral("The slab must be a number of 0 or more (1/\u00c5)."));
    const std::optional<double> camera = nonNegative(camera_);
    if (!camera)
        return fail(QStringLiteral("The camera length must be a number of 0 or more (mm)."));

    auto section = std::make_unique<ZoneSection>(
        computeZoneSection(preparedFrom(run), {axis, *slab, reference}));
    if (section->run.status != RunStatus::Completed)
        return fail(QString::fromStdString(section->run.message));
    // A run with intensities gives its section the intensities of the window's model.
    if (model_ && !model_->sites.empty() && !run.header.modelText.empty()) {
        const std::string unfit = physics::modelProblem(*model_, run.parameters.system);
        if (!unfit.empty()) return fail(QString::fromStdString(unfit));
        physics::fillIntensities(*model_, section->run);
    }
    section_ = std::move(section);
    // The preset's name goes with the axis it names; the drop-down follows the indices.
    QString name;
    for (const ZonePreset& p : zonePresets(run.parameters.system))
        if (p.axis == axis)
            name = QString::fromLatin1(p.name.data(), static_cast<int>(p.name.size()));
    const int shown = presets_->findText(name.isEmpty() ? QStringLiteral("indices") : name);
    if (shown >= 0) presets_->setCurrentIndex(shown);
    view_->showSection(section_.get(), axisTitle(axis, run.indexDimension, name), *camera);
    const std::size_t count = section_->run.table.size();
    std::size_t near = 0;
    for (const ZoneSpot& spot : section_->spots) near += spot.nearZone;
    QString text = QString::number(count - near) + QStringLiteral(" reflections in the section");
    if (near > 0) text += QStringLiteral(", ") + QString::number(near) + QStringLiteral(" near it");
    status_->setText(count == 0 ? kEmptySectionText : text);
    return true;
}

std::optional<QString> ZoneAxisWindow::savePicture(const QString& path) const {
    const std::optional<PictureFormat> format = pictureFormatOf(path);
    if (!format)
        return QStringLiteral("the picture file must end in .png, .bmp, .svg, .wmf or .pdf");
    PictureSettings settings;
    settings.size = view_->size();
    settings.background = view_->backgroundColour();
    settings.foreground = settings.background == kBlack ? kWhite : kBlack;
    settings.font = defaultPlotFont();
    QString reason;
    const auto bytes =
        renderZonePicture(*format, view_->data(), view_->options(), settings, &reason);
    if (!bytes) return reason;
    if (const auto error = writeFileSafely(QFile::encodeName(path).toStdString(),
                                           std::string_view(bytes->constData(), bytes->size())))
        return QString::fromLocal8Bit(error->c_str());
    return std::nullopt;
}

void ZoneAxisWindow::save() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save zone-axis pattern"), session_.dataFolder(),
        QStringLiteral(
            "PNG (*.png);;SVG (*.svg);;PDF (*.pdf);;Windows metafile (*.wmf);;BMP (*.bmp)"));
    if (path.isEmpty()) return;
    if (const auto error = savePicture(path))
        status_->setText(QStringLiteral("Cannot write ") + path + QStringLiteral(": ") + *error);
}

void ZoneAxisWindow::copy() {
    if (view_->picture().isNull()) return;
    // As the plots copy: a metafile, and the same picture as SVG and as a bitmap.
    PictureSettings settings;
    settings.size = view_->size();
    settings.background = view_->backgroundColour();
    settings.foreground = settings.background == kBlack ? kWhite : kBlack;
    settings.font = defaultPlotFont();
    auto* data = new QMimeData;
    for (const auto& [format, type] : {std::pair{PictureFormat::Wmf, "image/x-wmf"},
                                       std::pair{PictureFormat::Svg, "image/svg+xml"}})
        if (const auto bytes = renderZonePicture(format, view_->data(), view_->options(), settings))
            data->setData(QLatin1String(type), *bytes);
    data->setImageData(view_->picture());
    QApplication::clipboard()->setMimeData(data);
}

void ZoneAxisWindow::print() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    QPainter painter;
    if (!painter.begin(&printer)) return;
    const QSizeF page = QSizeF(printer.pageLayout().paintRectPixels(printer.resolution()).size());
    drawZonePage(painter, page, 1440.0 / printer.logicalDpiX(), view_->data(), view_->options(),
                 defaultPlotFont());
}

void ZoneAxisWindow::toggleLarge() {
    // Set by hand: without a window manager a window cannot be maximised.
    if (normalGeometry_) {
        setGeometry(*normalGeometry_);
        normalGeometry_.reset();
        return;
    }
    normalGeometry_ = geometry();
    if (const QScreen* s = screen()) setGeometry(s->availableGeometry());
}

ZoneAxisWindow* ZoneAxisCommand::openZoneWindow(CommandContext& context) {
    auto* window = context.window ? context.window->findChild<ZoneAxisWindow*>() : nullptr;
    if (!window)
        window = new ZoneAxisWindow(*context.session, context.document ? &context.document->model() : nullptr, context.window);
    window->show();
    window->raise();
    window->drawSection();
    return window;
}

}  // namespace tesral
