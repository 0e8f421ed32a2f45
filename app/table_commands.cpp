// The reflection list: the list view, the Table menu, saving, copying and the word processor.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QToolBar>
#include <QUrl>

#include "app/input_panel.h"
#include "app/main_window.h"
#include "app/output_chooser.h"
#include "app/program_folder.h"
#include "app/reflection_list_model.h"
#include "report/clipboard_rows.h"
#include "report/safe_file.h"

namespace tesral {

namespace {

/** The user's decimal separator where it is a single byte, else a point. */
char decimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 0x80 ? point.at(0).toLatin1() : '.';
}

std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

ReportOptions MainWindow::reportOptions(int indexDimension) const {
    ReportOptions options;
    const auto shown = [this](int item) { return tableActions_[item]->isChecked(); };
    options.columns = ReportColumns::fromChoices(shown(2), shown(3), shown(4), shown(5), shown(1),
                                                 indexDimension);
    options.convention = panel_->inputs().convention;
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

bool MainWindow::writeList(const QString& path, QString& error) const {
    // The header shows the inputs as they stand now, above the rows of the last run.
    const RunHeader header = buildRunHeader(panel_->inputs());
    const auto failure = writeReportFile(nativePath(path), session_.table(), header,
                                         reportOptions(session_.indexDimension()));
    if (failure) error = QString::fromStdString(*failure);
    return !failure;
}

void MainWindow::showListOfSession() {
    listModel_->show(session_.table(), buildRunHeader(panel_->inputs()),
                     reportOptions(session_.indexDimension()));
    rtf_->scrollToTop();
}

void MainWindow::refreshList() {
    if (!session_.calculated()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString path = programFile(QStringLiteral("tmp.hkl"));
    QString error;
    const bool written = writeList(path, error);
    showListOfSession();
    QApplication::restoreOverrideCursor();
    if (!written) showWriteError(path, error);
}

void MainWindow::toggleColumn() {
    // The check mark has already changed; the list follows when there are rows to show.
    if (session_.calculated() && session_.reflectionCount() != 0) refreshList();
}

void MainWindow::saveTable() {
    if (!haveData()) return;
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save Table"),
                                     QDir(dataFolder()).filePath(QStringLiteral("tesral.hkl")),
                                     QStringLiteral("Tesral data (*.hkl)"));
    if (path.isEmpty()) return;  // cancelled: nothing is written
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool written = writeList(path, error);
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
    const auto failure = writeFileSafely(nativePath(path), rows);
    QApplication::clipboard()->setText(QString::fromStdString(rows));
    QApplication::restoreOverrideCursor();
    if (failure) showWriteError(path, QString::fromStdString(*failure));
}

void MainWindow::openInWordProcessor() {
    // The desktop's own application for the file; no command line is built from the path.
    QDesktopServices::openUrl(QUrl::fromLocalFile(programFile(QStringLiteral("tmp.hkl"))));
}

void MainWindow::chooseOutput(const QString& caption, QAction* source) {
    QWidget* anchor = nullptr;
    for (QObject* object : source->associatedObjects())
        if (auto* widget = qobject_cast<QWidget*>(object);
            widget && widget != static_cast<QWidget*>(Toolbar1_))
            anchor = widget;
    // Plot pictures come with the export commands; until then only the list can be chosen.
    const int target = OutputChooser::choose(caption, anchor, this, OutputChooser::ReflectionList);
    if (target != OutputChooser::ReflectionList) return;
    if (caption == QLatin1String("Save"))
        saveTable();
    else
        copyList();
}

}  // namespace tesral
