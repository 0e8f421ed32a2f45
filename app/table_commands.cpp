// The reflection list: the list view, the Table menu, saving, copying and the word processor.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QToolBar>
#include <algorithm>

#include "app/documents.h"
#include "app/input_panel.h"
#include "app/main_window.h"
#include "app/native_files.h"
#include "app/output_chooser.h"
#include "app/program_folder.h"
#include "app/reflection_list_model.h"
#include "app/save_dialog.h"
#include "report/clipboard_rows.h"
#include "report/text_search.h"

namespace tesral {

namespace {

/** The user's decimal separator where it is a single byte, else a point. */
char decimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 0x80 ? point.at(0).toLatin1() : '.';
}

}  // namespace

ReportOptions MainWindow::reportOptions(int indexDimension) const {
    ReportOptions options;
    const auto shown = [this](int item) { return tableActions_[item]->isChecked(); };
    options.columns = ReportColumns::fromChoices(shown(2), shown(3), shown(4), shown(5), shown(1),
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

bool MainWindow::writeList(const QString& path, const RunHeader& header, QString& error) const {
    const auto failure = writeReportFile(nativePath(path), session_.table(), header,
                                         reportOptions(session_.indexDimension()));
    if (failure) error = QString::fromStdString(*failure);
    return !failure;
}

void MainWindow::showListOfSession(const RunHeader& header, bool listFileWritten) {
    listModel_->show(session_.table(), header, reportOptions(session_.indexDimension()));
    listFileCurrent_ = listFileWritten;
    rtf_->scrollToTop();
}

void MainWindow::refreshList() {
    if (!session_.calculated()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString path = programFile(QStringLiteral("tmp.hkl"));
    // The rows keep the header of the run that produced them, whatever the fields say now.
    const RunHeader& header = session_.result().header;
    QString error;
    const bool written = writeList(path, header, error);
    showListOfSession(header, written);
    QApplication::restoreOverrideCursor();
    if (!written) showWriteError(path, error);
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
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool written = writeList(path, session_.result().header, error);
    QApplication::restoreOverrideCursor();
    if (!written) showWriteError(path, error);
}

void MainWindow::copyList() {
    if (!haveData()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ReportOptions options = reportOptions(session_.indexDimension());
    const std::string rows =
        clipboardRows(session_.table(), options.columns, options.decimalSeparator);
    const QString path = programFile(QStringLiteral("clipboard.hkl"));
    const auto failure = writeBytesSafely(path, rows);
    QApplication::clipboard()->setText(QString::fromStdString(rows));
    QApplication::restoreOverrideCursor();
    if (failure) showWriteError(path, *failure);
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
    const std::string needle = panel_->tfFind->text().toStdString();
    // The list's text as the file holds it; built from the rows when the file is missing.
    QFile file(programFile(QStringLiteral("tmp.hkl")));
    std::string_view text;
    std::string built;
    const uchar* mapped = nullptr;
    if (listFileCurrent_ && file.open(QIODevice::ReadOnly) && file.size() > 0)
        mapped = file.map(0, file.size());
    if (mapped) {
        text = std::string_view(reinterpret_cast<const char*>(mapped),
                                static_cast<std::size_t>(file.size()));
    } else {
        for (std::size_t line = 0; line < listModel_->lineCount(); ++line)
            built += listModel_->lineText(line) + "\r\n";
        text = built;
    }
    searchPosition_ = findIgnoringCase(text, needle, searchPosition_ + 1);
    if (searchPosition_ < 0) return;
    const auto before = text.substr(0, static_cast<std::size_t>(searchPosition_));
    const auto line = static_cast<int>(std::count(before.begin(), before.end(), '\n'));
    const QModelIndex hit = listModel_->index(line);
    rtf_->setCurrentIndex(hit);
    rtf_->scrollTo(hit, QAbstractItemView::PositionAtCenter);
}

}  // namespace tesral
