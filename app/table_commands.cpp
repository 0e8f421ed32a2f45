// The reflection list: the list view, the Table menu, saving, copying and the word processor.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QToolBar>
#include <algorithm>

#include "app/documents.h"
#include "app/input_panel.h"
#include "app/list_copy.h"
#include "app/main_window.h"
#include "app/native_files.h"
#include "app/output_chooser.h"
#include "app/program_folder.h"
#include "app/reflection_list_model.h"
#include "app/save_dialog.h"
#include "app/whole_table_task.h"
#include "report/clipboard_rows.h"
#include "report/report_search.h"

namespace tesral {

namespace {

/** The status panel of short messages: a search's miss or wrap. */
constexpr int kMessagePanel = 3;

/** The user's decimal separator where it is a single byte, else a point. */
char decimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 0x80 ? point.at(0).toLatin1() : '.';
}

}  // namespace

ReportOptions MainWindow::reportOptions(int indexDimension) const {
    ReportOptions options;
    const auto shown = [this](int item) { return tableActions_[item]->isChecked(); };
    options.columns = ReportColumns::from({.indices = shown(2),
                                           .theta = shown(3),
                                           .dSpacing = shown(4),
                                           .qeQi = shown(5),
                                           .xyz = shown(1)},
                                          indexDimension);
    // The session's rows are headed by their run's convention; before a run, the fields'.
    options.convention = session_.calculated() ? session_.result().parameters.convention
                                               : panel_->inputs().convention;
    options.decimalSeparator = decimalSeparator();
    return options;
}

bool MainWindow::haveData() {
    if (session_.calculated()) return true;
    QMessageBox::information(this, windowTitle(), QStringLiteral("no data"), QMessageBox::Ok);
    return false;
}

void MainWindow::showWriteError(const QString& path, const QString& reason) {
    QMessageBox::warning(
        this, windowTitle(),
        QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), reason));
}

MainWindow::ListWrite MainWindow::writeList(const QString& path, const RunHeader& header,
                                            QString& error, SafeFile::Accept accept) {
    const ReportOptions options = reportOptions(session_.indexDimension());
    std::optional<std::string> failure;
    const auto write = [&](TaskProgress& progress) {
        progress.setTotal(session_.table().size());
        failure = writeReportFile(nativePath(path), session_.table(), header, options,
                                  &progress.stopFlag(), accept,
                                  [&progress](std::size_t rows) { progress.advance(rows); });
    };
    // While a run fills the session its end must not arrive mid-write: no waiting loop then.
    TaskProgress direct;
    const bool done =
        runner_.running()
            ? (write(direct), true)
            : runWithProgress(
                  this, QStringLiteral("Writing %1 ...").arg(QFileInfo(path).fileName()), write);
    if (!done) return ListWrite::Cancelled;
    if (!failure) return ListWrite::Written;
    error = QString::fromStdString(*failure);
    return ListWrite::Failed;
}

void MainWindow::showListOfSession(const RunHeader& header, bool listFileWritten) {
    listModel_->show(session_.table(), header, reportOptions(session_.indexDimension()));
    listFileCurrent_ = listFileWritten;
    rtf_->scrollToTop();
}

void MainWindow::refreshList() {
    if (!session_.calculated()) return;
    const QString path = programFile(QStringLiteral("tmp.hkl"));
    // The rows keep the header of the run that produced them, whatever the fields say now.
    const RunHeader& header = session_.result().header;
    QString error;
    const ListWrite written = writeList(path, header, error, SafeFile::Accept::RegularFilesOnly);
    // Cancelled or failed, the list still shows the rows, formatted as they are asked for.
    showListOfSession(header, written == ListWrite::Written);
    if (written == ListWrite::Failed) showWriteError(path, error);
}

void MainWindow::toggleColumn() {
    // The check mark has already changed; the list follows when there are rows to show.
    if (session_.calculated() && session_.reflectionCount() != 0) refreshList();
}

void MainWindow::saveTable() {
    if (!haveData()) return;
    const QString path = askSavePath(this, QStringLiteral("Save Table"),
                                     QDir(dataFolder()).filePath(QStringLiteral("tesral.hkl")),
                                     QStringLiteral("Tesral data (*.hkl)"), QStringLiteral("hkl"));
    if (path.isEmpty()) return;  // cancelled: nothing is written
    QString error;
    if (writeList(path, session_.result().header, error) == ListWrite::Failed)
        showWriteError(path, error);
}

void MainWindow::copyList() {
    if (!haveData()) return;
    const ReportOptions options = reportOptions(session_.indexDimension());
    const QString path = programFile(QStringLiteral("clipboard.hkl"));
    std::optional<CopiedList> copied;
    const bool done = runWithProgress(
        this, QStringLiteral("Copying the reflection list ..."), [&](TaskProgress& progress) {
            copied = copyListRows(session_.table(), options.columns, options.decimalSeparator, path,
                                  progress);
        });
    // A cancelled copy leaves the clipboard and the file as they were.
    if (!done || !copied) return;
    QApplication::clipboard()->setText(copied->text);
    if (copied->writeError) showWriteError(path, *copied->writeError);
}

void MainWindow::openInWordProcessor() {
    // The desktop's own application for the file; no command line is built from the path.
    openDocument(this, programFile(QStringLiteral("tmp.hkl")));
}

void MainWindow::chooseOutput(const QString& caption, QAction* source) {
    QWidget* anchor = nullptr;
    for (QObject* object : source->associatedObjects())
        if (auto* widget = qobject_cast<QWidget*>(object);
            widget && widget != static_cast<QWidget*>(Toolbar1_))
            anchor = widget;
    const bool copy = caption == QLatin1String("Copy");
    const int target = OutputChooser::choose(caption, anchor, this);
    if (target == OutputChooser::NoTarget) return;
    const PlotKind kind =
        target == OutputChooser::ThreeDPlot ? PlotKind::ThreeD : PlotKind::ZeroLayer;
    if (caption == QLatin1String("Save")) {
        if (target == OutputChooser::ReflectionList)
            saveTable();
        else
            savePlotBitmap(kind);
    } else if (copy) {
        if (target == OutputChooser::ReflectionList)
            copyList();
        else
            copyPlotAsMetafile(kind);
    } else {
        if (target == OutputChooser::ReflectionList)
            printList();
        else
            printPlot(kind);
    }
}

void MainWindow::findInList() {
    rtf_->clearSelection();
    const QString typed = panel_->tfFind->text();
    const std::string needle = typed.toStdString();
    // The same text goes on after its last hit; a new text starts at the top.
    const bool goOn = searchHit_ && needle == searchText_;
    const TextPlace from = goOn ? TextPlace{searchHit_->line, searchHit_->column + 1} : TextPlace{};
    // The list's text as the file holds it, or its rows formatted a block at a time.
    QFile file(programFile(QStringLiteral("tmp.hkl")));
    const uchar* mapped = nullptr;
    // Only a regular file is opened: a pipe put in its place would wait for a writer.
    if (listFileCurrent_ && QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly) &&
        file.size() > 0)
        mapped = file.map(0, file.size());
    const auto find = [&](TextPlace at, const SearchProgress& proceed) {
        if (!mapped) return listModel_->find(needle, at, proceed);
        const std::string_view text(reinterpret_cast<const char*>(mapped),
                                    static_cast<std::size_t>(file.size()));
        return findInText(text, needle, at);
    };
    std::optional<TextPlace> hit;
    bool wrapped = false;
    const auto search = [&](TaskProgress& progress) {
        const SearchProgress proceed = [&progress](std::size_t rows, std::size_t total) {
            progress.setTotal(total);
            progress.setDone(rows);
            return !progress.cancelled();
        };
        hit = find(from, proceed);
        if (!hit && goOn && !progress.cancelled()) {
            hit = find(TextPlace{}, proceed);
            wrapped = hit.has_value();
        }
    };
    // While a run fills the session its end must not arrive mid-search: no waiting loop then.
    TaskProgress direct;
    const bool done =
        runner_.running()
            ? (search(direct), true)
            : runWithProgress(this, QStringLiteral("Searching the reflection list ..."), search);
    if (!done) return;  // stopped: the next search starts where this one did
    searchText_ = needle;
    searchHit_ = hit;
    if (!searchHit_) {
        setStatusText(kMessagePanel, QStringLiteral("'%1' not found").arg(typed));
        return;
    }
    setStatusText(kMessagePanel, wrapped ? QStringLiteral("search wrapped to the top") : QString());
    const QModelIndex line = listModel_->index(static_cast<int>(searchHit_->line));
    rtf_->setCurrentIndex(line);
    rtf_->scrollTo(line, QAbstractItemView::PositionAtCenter);
}

}  // namespace tesral
