#include "app/powder_window.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include <stdexcept>
#include "app/input_panel.h"
#include "app/powder_plot_widget.h"
#include "app/printing.h"
#include "app/run_size.h"
#include "engine/generation.h"
#include "physics/intensity.h"
#include "physics/model_head.h"
#include "physics/one_site_model.h"
#include "physics/powder_profile.h"
#include "physics/refinement_text.h"
#include "plots/image_canvas.h"
#include "plots/painter_canvas.h"
#include "plots/powder_picture.h"
#include "report/safe_file.h"

namespace tesral {

namespace {

/** Numbers separated by `separator`; nothing unless there are exactly `count` of them. */
std::optional<std::vector<double>> numbers(const QString& text, QChar separator, int count) {
    const QStringList parts = text.split(separator);
    if (parts.size() != count) return std::nullopt;
    std::vector<double> out;
    for (const QString& part : parts) {
        bool ok = false;
        const double v = part.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v)) return std::nullopt;
        out.push_back(v);
    }
    return out;
}

QLineEdit* field(const char* name, const QString& text, int width) {
    auto* edit = new QLineEdit(text);
    edit->setObjectName(QLatin1String(name));
    edit->setMaximumWidth(width);
    return edit;
}

QPushButton* button(const char* name, const QString& caption) {
    auto* b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    return b;
}

}  // namespace

PowderWindow::PowderWindow(InputPanel* panel, const physics::StructureModel* model, QWidget* parent)
    : QWidget(parent, Qt::Window), panel_(panel), model_(model) {
    setObjectName(QStringLiteral("powderWindow"));
    setWindowTitle(tr("Powder pattern"));
    plot_ = new PowderPlotWidget;
    twoTheta_ = field("powderTwoTheta", QStringLiteral("10:120:0.01"), 130);
    caglioti_ = field("powderCaglioti", QStringLiteral("0,0,0.01"), 110);
    eta_ = field("powderEta", QStringLiteral("0.5"), 50);
    monochromator_ = field("powderMonochromator", QString(), 50);
    difference_ = new QCheckBox(tr("Difference"));
    difference_->setObjectName(QStringLiteral("powderDifference"));
    auto* calculateButton = button("powderCalculate", tr("Calculate"));
    auto* loadButton = button("powderLoad", tr("Load measured pattern…"));
    refineButton_ = button("powderRefine", tr("Refine lattice constant"));
    useButton_ = button("powderUseRefined", tr("Use refined a, c"));
    auto* saveButton = button("powderSave", tr("Save picture…"));
    auto* copyButton = button("powderCopy", tr("Copy"));
    auto* printButton = button("powderPrint", tr("Print…"));
    refineButton_->setEnabled(false);
    useButton_->setEnabled(false);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("powderStatus"));
    status_->setWordWrap(true);
    result_ = new QPlainTextEdit;
    result_->setObjectName(QStringLiteral("powderResult"));
    result_->setReadOnly(true);
    result_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    result_->setMaximumHeight(160);

    auto* settings = new QHBoxLayout;
    settings->addWidget(new QLabel(tr("2θ from:to:step")));
    settings->addWidget(twoTheta_);
    settings->addWidget(new QLabel(tr("Caglioti U,V,W")));
    settings->addWidget(caglioti_);
    settings->addWidget(new QLabel(tr("η")));
    settings->addWidget(eta_);
    settings->addWidget(new QLabel(tr("Monochromator 2θ")));
    settings->addWidget(monochromator_);
    settings->addWidget(calculateButton);
    settings->addStretch();
    auto* actions = new QHBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{loadButton, difference_, refineButton_, useButton_,
                                         saveButton, copyButton, printButton})
        actions->addWidget(w);
    actions->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(settings);
    layout->addWidget(plot_, 1);
    layout->addLayout(actions);
    layout->addWidget(status_);
    layout->addWidget(result_);
    resize(1000, 720);

    connect(calculateButton, &QPushButton::clicked, this, &PowderWindow::calculate);
    connect(loadButton, &QPushButton::clicked, this, &PowderWindow::chooseMeasured);
    connect(refineButton_, &QPushButton::clicked, this, &PowderWindow::refine);
    connect(useButton_, &QPushButton::clicked, this, &PowderWindow::useRefined);
    connect(saveButton, &QPushButton::clicked, this, &PowderWindow::choosePicture);
    connect(copyButton, &QPushButton::clicked, this, &PowderWindow::copyPicture);
    connect(printButton, &QPushButton::clicked, this, &PowderWindow::printPlot);
    connect(difference_, &QCheckBox::toggled, plot_, &PowderPlotWidget::setDifference);
}

QString PowderWindow::statusText() const {
    return status_->text();
}

QString PowderWindow::resultText() const {
    return result_->toPlainText();
}

void PowderWindow::showStatus(const QString& text) {
    status_->setText(text);
}

bool PowderWindow::calculate() {
    const auto grid = numbers(twoTheta_->text(), QLatin1Char(':'), 3);
    const auto widths = numbers(caglioti_->text(), QLatin1Char(','), 3);
    const auto eta = numbers(eta_->text(), QLatin1Char(','), 1);
    const QString mono = monochromator_->text().trimmed();
    const auto monochromator = mono.isEmpty()
                                   ? std::optional<std::vector<double>>(std::vector<double>{0.0})
                                   : numbers(mono, QLatin1Char(','), 1);
    if (!grid || !widths || !eta || !monochromator) {
        showStatus(
            tr("The 2θ grid takes from:to:step, Caglioti U,V,W, η and the monochromator "
               "one number each."));
        return false;
    }
    const physics::TwoThetaGrid g{(*grid)[0], (*grid)[1], (*grid)[2]};
    const physics::ProfileShape shape{(*widths)[0], (*widths)[1], (*widths)[2], (*eta)[0]};
    std::string problem = physics::gridProblem(g);
    if (problem.empty()) problem = physics::shapeProblem(shape, g);
    if (problem.empty() && ((*monochromator)[0] < 0.0 || (*monochromator)[0] >= 180.0))
        problem = "the monochromator's 2-theta lies between 0 and 180 degrees";

    RunInputs inputs = panel_->inputs();
    // The theta window follows the grid; the loop limits reach every whole orbit in it.
    inputs.thetaMin = QString::number(std::max(0.0, g.start / 2.0 - 1.0)).toStdString();
    inputs.thetaMax = QString::number(std::min(90.0, g.stop / 2.0 + 1.0)).toStdString();
    std::optional<RunParameters> parameters;
    if (problem.empty()) parameters = readRunParameters(inputs, problem);
    if (parameters) problem = physics::widenToWholeOrbits(*parameters);
    if (!problem.empty()) {
        showStatus(QString::fromStdString(problem));
        return false;
    }
    const PreparedRun prepared = prepareRun(*parameters, buildRunHeader(inputs));
    if (!prepared.ready()) {
        showStatus(QString::fromStdString(prepared.message));
        return false;
    }
    if (prepared.rowBound > kLargeRunRows &&
        QMessageBox::question(this, windowTitle(),
                              tr("The whole orbits of this pattern may hold up to %1 "
                                 "reflections. Calculate it anyway?")
                                  .arg(groupedCount(prepared.rowBound))) != QMessageBox::Yes)
        return false;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    RunResult run = runPrepared(prepared);
    bool filled = false;
    std::string modelLine;
    if (run.status == RunStatus::Completed) {
        try {
            const bool own = model_ && panel_->useIntensities() && !model_->sites.empty();
            const physics::StructureModel model =
                own ? *model_ : physics::oneSiteModel(inputs.system, "window");
            modelLine = physics::modelHeadLine(model, run.parameters.wavelength);
            const std::string unfit = physics::modelProblem(model, inputs.system);
            if (!unfit.empty()) throw std::invalid_argument(unfit);
            filled = physics::fillIntensities(model, run);
        } catch (const std::exception& e) {
            run.message = e.what();
        }
    }
    QGuiApplication::restoreOverrideCursor();
    if (!filled) {
        showStatus(
            QString::fromStdString(run.message.empty() ? "The run was cancelled." : run.message));
        return false;
    }
    physics::LpSettings lp;
    lp.monochromator = (*monochromator)[0];
    lines_ = physics::powderLines(run, lp);
    std::vector<double> profile = physics::powderProfile(lines_, g, shape);
    lattice_ = {run.parameters.wavelength, run.parameters.a, run.parameters.c,
                run.indexDimension == 5};
    a6DPerA_ = run.indexDimension == 6
                   ? physics::sixDimensionalConstant(run.basis) / run.parameters.a
                   : 0.0;
    plot_->setPattern(g.start, g.step, std::move(profile), lines_);
    refinement_.reset();
    useButton_->setEnabled(false);
    refineButton_->setEnabled(measured_.has_value());
    showStatus(tr("%1 reflections in %2 lines; %3.")
                   .arg(run.table.size())
                   .arg(lines_.size())
                   .arg(QString::fromStdString(modelLine)));
    return true;
}

bool PowderWindow::loadMeasured(const QString& path) {
    try {
        measured_ = physics::readMeasuredFile(QFile::encodeName(path).toStdString());
    } catch (const std::exception& e) {
        showStatus(QString::fromLocal8Bit(e.what()));
        return false;
    }
    plot_->setMeasured(measured_->twoTheta, measured_->intensity);
    refineButton_->setEnabled(!lines_.empty());
    showStatus(tr("%1: %2 points%3.")
                   .arg(QFileInfo(path).fileName())
                   .arg(measured_->twoTheta.size())
                   .arg(measured_->kind == physics::MeasuredKind::PeakList ? tr(" (peak list)")
                                                                           : QString()));
    return true;
}

bool PowderWindow::refine() {
    if (!measured_ || lines_.empty()) {
        showStatus(tr("Calculate the pattern and load a measured one first."));
        return false;
    }
    const std::vector<physics::Peak> peaks = physics::findPeaks(*measured_);
    physics::Refinement r = physics::refineLattice(lines_, peaks, lattice_);
    if (!r.ok()) {
        refinement_.reset();
        useButton_->setEnabled(false);
        result_->clear();
        showStatus(QString::fromStdString(r.message));
        return false;
    }
    result_->setPlainText(QString::fromStdString(physics::refinementText(lines_, r, a6DPerA_)));
    showStatus(tr("%1 peaks, %2 matched.").arg(peaks.size()).arg(r.matches.size()));
    refinement_ = std::move(r);
    useButton_->setEnabled(true);
    return true;
}

void PowderWindow::useRefined() {
    if (!refinement_) return;
    RunInputs inputs = panel_->inputs();
    inputs.a = QString::number(refinement_->a, 'f', 5).toStdString();
    if (lattice_.axial) inputs.c = QString::number(refinement_->c, 'f', 5).toStdString();
    panel_->setInputs(inputs);
}

QString PowderWindow::savePicture(const QString& path) const {
    const std::optional<PictureFormat> format = pictureFormatOf(path);
    if (!format) return tr("the picture file must end in .png, .bmp, .svg, .wmf or .pdf");
    PictureSettings settings;
    settings.size = plot_->size();
    settings.background = kWhite;
    settings.foreground = kBlack;
    settings.font = defaultPlotFont();
    QString reason;
    const std::optional<QByteArray> bytes =
        renderPowderPicture(*format, plot_->data(), settings, &reason);
    if (!bytes) return reason;
    if (const auto error = writeFileSafely(QFile::encodeName(path).toStdString(),
                                           std::string_view(bytes->constData(), bytes->size())))
        return tr("cannot write %1: %2").arg(path, QString::fromLocal8Bit(error->c_str()));
    return {};
}

void PowderWindow::chooseMeasured() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Load measured pattern"), QString(),
                                     tr("Powder patterns (*.xy *.dat *.txt *.csv);;All files (*)"));
    if (!path.isEmpty()) loadMeasured(path);
}

void PowderWindow::choosePicture() {
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save powder pattern"), QStringLiteral("powder.png"),
        tr("PNG (*.png);;SVG (*.svg);;PDF (*.pdf);;Windows metafile (*.wmf);;BMP (*.bmp)"));
    if (path.isEmpty()) return;
    const QString error = savePicture(path);
    if (!error.isEmpty()) QMessageBox::warning(this, windowTitle(), error);
}

void PowderWindow::copyPicture() {
    if (!plot_->hasPattern()) return;
    PictureSettings settings;
    settings.size = plot_->size();
    settings.background = kWhite;
    settings.foreground = kBlack;
    settings.font = defaultPlotFont();
    QImage image = ImageCanvas::makeImage(settings.size, 1.0);
    ImageCanvas canvas(image, pictureTarget(settings).twipsPerPixelX);
    if (drawPowderPlot(plot_->data(), pictureTarget(settings), canvas))
        QGuiApplication::clipboard()->setImage(image);
}

void PowderWindow::printPlot() {
    if (!plot_->hasPattern()) return;
    const PowderPlotData data = plot_->data();
    const QString error = printDocument(
        this, QString(), QStringLiteral("powder.pdf"),
        [&data](QPainter& painter, QPagedPaintDevice& device) {
            // Laid out as on a 96 dots-per-inch screen and scaled to the printer.
            const double scale = device.logicalDpiX() / kPictureDpi;
            const QSizeF page = printablePageSize(device) / scale;
            painter.scale(scale, scale);
            PictureSettings settings;
            settings.size = page.toSize();
            settings.background = kWhite;
            settings.foreground = kBlack;
            settings.font = defaultPlotFont();
            PainterCanvas canvas(painter, page, pictureTarget(settings).twipsPerPixelX);
            drawPowderPlot(data, pictureTarget(settings), canvas);
        });
    if (!error.isEmpty()) QMessageBox::warning(this, windowTitle(), error);
}

}  // namespace tesral
