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
#include "app/main_window.h"
#include "app/memory_info.h"
#include "app/program_folder.h"
#include "app/run_size.h"
#include "engine/groups.h"
#include "engine/run_parameters.h"
#include "physics/calculation.h"

namespace tesral {

namespace {

constexpr int kProgressSteps = 10000;

}  // namespace

void MainWindow::executeCalculation() {
    if (runner_.running()) return;
    // The run ends by writing the list file; a named pipe there would never let it end.
    const QString listPath = session_.workingFile(QStringLiteral("tmp.hkl"));
    if (!regularOrAbsent(listPath)) {
        showWriteError(commands_, listPath, QStringLiteral("not a regular file"));
        return;
    }
    const RunInputs inputs = panel_->inputs();
    std::string error;
    std::optional<physics::Calculation> calculation =
        physics::calculationFrom(inputs, document_.modelForRun(), error);
    if (!calculation) {
        SelectedGroup group;
        setStatusText(5, selectGroup(inputs.system, inputs.groupPosition, group)
                             ? QString::fromStdString(group.statusText())
                             : QString());
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
        return;
    }
    PreparedRun run = physics::prepare(*calculation);
    setStatusText(5, QString::fromStdString(run.groupStatusText));
    if (!run.ready()) {
        // The model is looked at last: a run whose numbers were read and whose basis was built
        // is refused for its model only.
        const bool forModel = calculation->model && run.indexDimension > 0;
        const QString message = QString::fromStdString(run.message);
        QMessageBox::warning(
            this, windowTitle(),
            forModel ? QStringLiteral("The intensity model cannot be used with this run: %1")
                           .arg(message)
                     : message);
        return;
    }
    if (!confirmLargeRun(run)) return;
    emptyRunNote_ = QString::fromStdString(joinReasons(emptyRunReasons(inputs)));

    cancelRequested_ = false;
    setRunning(true);
    progressLabel_->setText(QStringLiteral("calculating ..."));
    progressBar_->setRange(0, kProgressSteps);
    progressBar_->setValue(0);
    toolStrips_->setCurrentWidget(progressStrip_);
    setStatusText(2, QString::fromStdString(loopsStatusText(run.totalLoops)));

    ListFileRequest list;
    list.path = QFile::encodeName(listPath).toStdString();
    list.header = run.header;
    list.options = commands_.reportOptions(run.parameters);
    running_ = *calculation;
    runner_.start(std::move(*calculation), std::move(run), session_.core().extremes(),
                  std::move(list));
    progressTimer_.start();
}

RunSize MainWindow::runSize(const PreparedRun& run) const {
    RunSize size;
    static_cast<RunNeeds&>(size) = runNeeds(run.rowBound, commands_.reportOptions(run.parameters));
    size.freeMemory = availableMemoryBytes();
    size.listFolder = session_.workingFolder();
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
    // The commands and the plot boxes follow the session's busy state.
    session_.setBusy(running);
    if (running)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindow::showProgress() {
    progressBar_->setValue(static_cast<int>(runner_.progress() * kProgressSteps));
    if (cancelRequested_) runner_.cancel();
}

void MainWindow::onRunFinished(const std::shared_ptr<RunOutcome>& outcome) {
    progressTimer_.stop();
    RunResult& result = outcome->result;
    switch (result.status) {
        case RunStatus::Completed: {
            progressBar_->setValue(kProgressSteps);
            if (result.table.size() == 0 && !emptyRunNote_.isEmpty())
                setStatusText(1, QStringLiteral("0 reflections: %1").arg(emptyRunNote_));
            else
                setStatusText(1, QStringLiteral("%1 reflections").arg(result.table.size()));
            progressLabel_->setText(QStringLiteral("drawing ..."));
            progressLabel_->repaint();
            setRunning(false);
            // The list and the plot boxes show the new rows as they are published.
            commands_.listFileCurrent = !outcome->listFileError;
            session_.publish(std::move(result), std::move(outcome->points));
            if (running_) document_.setShown(std::move(*running_));
            toolStrips_->setCurrentWidget(plotStrip_);
            if (outcome->listFileError)
                showWriteError(commands_, session_.workingFile(QStringLiteral("tmp.hkl")),
                               QString::fromStdString(*outcome->listFileError));
            break;
        }
        case RunStatus::Cancelled:
            setRunning(false);
            toolStrips_->setCurrentWidget(plotStrip_);
            clearResults();
            break;
        case RunStatus::Failed:
            setRunning(false);
            toolStrips_->setCurrentWidget(plotStrip_);
            QMessageBox::warning(this, windowTitle(), QString::fromStdString(result.message));
            break;
    }
    running_.reset();
    emit runEnded();
}

}  // namespace tesral
