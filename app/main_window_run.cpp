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

namespace tesral {

namespace {

constexpr int kProgressSteps = 10000;

QString countText(BoxCount count) {
    return QString::fromStdString(boxCountText(count));
}

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
    runner_.start(std::move(run), session_.extremes(), std::move(list));
    progressTimer_.start();
}

bool MainWindow::confirmLargeRun(const PreparedRun& run) {
    const BoxCount bytes = run.rowBound * kBytesPerRow;
    const auto available = availableMemoryBytes();
    const bool tooMany = run.rowBound > kAskAboveRows;
    const bool tooBig = available && bytes > BoxCount{*available};
    if (!tooMany && !tooBig) return true;
    const BoxCount megabytes = (bytes + 999'999) / 1'000'000;
    const QString question = QStringLiteral(
                                 "This run may produce up to %1 reflections (about %2 "
                                 "MB). Continue?")
                                 .arg(countText(run.rowBound), countText(megabytes));
    return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
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
            setStatusText(1, QStringLiteral("%1 reflections").arg(result.table.size()));
            LPROG_->setText(QStringLiteral("drawing ..."));
            LPROG_->repaint();
            listModel_->clear();  // the list reads the table that is about to be replaced
            session_.publish(std::move(result), std::move(outcome->points));
            setRunning(false);
            pb2D_->redraw();
            pb3D_->redraw();
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
}

void MainWindow::redrawPlots() {
    if (!session_.calculated() || runner_.running()) return;
    pb2D_->redraw();
    pb3D_->redraw();
    if (largeViewOpen_) frBig_->pbBig->redraw();
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
