// The run from the window: prepared on the user-interface thread, looped on a worker, shown
// when it comes back.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QStackedWidget>
#include <QWidget>

#include "app/input_panel.h"
#include "app/large_view.h"
#include "app/main_window.h"
#include "app/memory_info.h"
#include "app/plot_view.h"
#include "app/program_folder.h"
#include "app/reflection_list_model.h"
#include "app/run_size.h"
#include "engine/run_parameters.h"

namespace tesral {

namespace {

constexpr int kProgressSteps = 10000;

}  // namespace

void MainWindow::executeCalculation() {
    if (runner_.running()) return;
    // The run ends by writing the list file; a named pipe there would never let it end.
    if (const QString list = programFile(QStringLiteral("tmp.hkl")); !regularOrAbsent(list)) {
        showWriteError(list, QStringLiteral("not a regular file"));
        return;
    }
    const RunInputs inputs = panel_->inputs();
    PreparedRun run = prepareRun(inputs);
    setStatusText(5, QString::fromStdString(run.groupStatusText));
    if (!run.ready()) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(run.message));
        return;
    }
    if (!confirmLargeRun(run)) return;
    emptyRunNote_ = QString::fromStdString(joinReasons(emptyRunReasons(inputs)));

    cancelRequested_ = false;
    setRunning(true);
    LPROG_->setText(QStringLiteral("calculating ..."));
    ProgressBar1_->setRange(0, kProgressSteps);
    ProgressBar1_->setValue(0);
    strips_->setCurrentWidget(frPROG_);
    setStatusText(2, QString::fromStdString(loopsStatusText(run.totalLoops)));

    ListFileRequest list;
    list.path = QFile::encodeName(programFile(QStringLiteral("tmp.hkl"))).toStdString();
    list.header = run.header;
    list.options = reportOptions(run.indexDimension);
    list.options.convention = run.parameters.convention;
    runner_.start(std::move(run), session_.extremes(), std::move(list));
    progressTimer_.start();
}

RunSize MainWindow::runSize(const PreparedRun& run) const {
    RunSize size;
    size.rows = run.rowBound;
    size.memoryBytes = run.rowBound * kBytesPerRow;
    // Every list row is as wide as the widest row number makes it, with its CRLF.
    ReportOptions options = reportOptions(run.indexDimension);
    std::string row;
    appendReportRow(row, static_cast<std::size_t>(std::min<BoxCount>(run.rowBound, SIZE_MAX)),
                    ReflectionRecord{}, options);
    size.diskBytes = run.rowBound * (row.size() + 2);
    size.freeMemory = availableMemoryBytes();
    size.listFolder = programFolder();
    size.freeDisk = freeDiskBytes(size.listFolder);
    return size;
}

bool MainWindow::confirmLargeRun(const PreparedRun& run) {
    const RunSize size = runSize(run);
    if (!size.worthAsking(kAskAboveRows)) return true;
    return QMessageBox::question(this, windowTitle(), size.question(),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void MainWindow::setRunning(bool running) {
    for (QObject* object : busyRefused_) {
        if (auto* action = qobject_cast<QAction*>(object)) action->setEnabled(!running);
        if (auto* widget = qobject_cast<QWidget*>(object)) widget->setEnabled(!running);
    }
    if (!running)
        tableActions_[6]->setEnabled(session_.calculated());
    else
        tableActions_[6]->setEnabled(false);
    pb2D_->setBusy(running);
    pb3D_->setBusy(running);
    if (running)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindow::showProgress() {
    ProgressBar1_->setValue(static_cast<int>(runner_.progress() * kProgressSteps));
    if (cancelRequested_) runner_.cancel();
}

void MainWindow::onRunFinished(const std::shared_ptr<RunOutcome>& outcome) {
    progressTimer_.stop();
    RunResult& result = outcome->result;
    switch (result.status) {
        case RunStatus::Completed: {
            ProgressBar1_->setValue(kProgressSteps);
            if (result.table.size() == 0 && !emptyRunNote_.isEmpty())
                setStatusText(1, QStringLiteral("0 reflections: %1").arg(emptyRunNote_));
            else
                setStatusText(1, QStringLiteral("%1 reflections").arg(result.table.size()));
            LPROG_->setText(QStringLiteral("drawing ..."));
            LPROG_->repaint();
            listModel_->clear();  // the list reads the table that is about to be replaced
            session_.publish(std::move(result), std::move(outcome->points));
            setRunning(false);
            drawPlotIn(pb2D_);
            drawPlotIn(pb3D_);
            strips_->setCurrentWidget(frPlot_);
            showListOfSession(session_.result().header, !outcome->listFileError);
            tableActions_[6]->setEnabled(true);
            if (outcome->listFileError)
                showWriteError(programFile(QStringLiteral("tmp.hkl")),
                               QString::fromStdString(*outcome->listFileError));
            break;
        }
        case RunStatus::Cancelled:
            setRunning(false);
            strips_->setCurrentWidget(frPlot_);
            clearResults();
            break;
        case RunStatus::Failed:
            setRunning(false);
            strips_->setCurrentWidget(frPlot_);
            QMessageBox::warning(this, windowTitle(), QString::fromStdString(result.message));
            break;
    }
    emit runEnded();
}

void MainWindow::clearResults() {
    if (runner_.running()) return;
    listModel_->clear();
    session_.clear();
    pb2D_->clearPicture();
    pb3D_->clearPicture();
    tableActions_[6]->setEnabled(false);
    setStatusText(1, QString());  // nothing is shown, so no count either
}

bool MainWindow::drawPlotIn(PlotView* view) {
    if (!session_.calculated() || session_.reflectionCount() != 0) return view->redraw();
    // A run that kept nothing leaves no earlier pattern behind.
    view->showText(QStringLiteral("no reflections"));
    return true;
}

void MainWindow::redrawPlots() {
    if (!session_.calculated() || runner_.running()) return;
    drawPlotIn(pb2D_);
    drawPlotIn(pb3D_);
    if (largeViewOpen_) drawPlotIn(frBig_->pbBig);
}

void MainWindow::invertBackground() {
    const bool black = pb2D_->backgroundColour() == kBlack;
    const QRgb background = black ? kWhite : kBlack;
    const QRgb foreground = black ? kBlack : kWhite;
    for (PlotView* view : {pb2D_, pb3D_, frBig_->pbBig}) {
        view->setColours(background, foreground);
        if (!session_.calculated()) view->clearPicture();
    }
    redrawPlots();
}

}  // namespace tesral
