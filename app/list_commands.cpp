#include "app/list_commands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPagedPaintDevice>
#include <QPainter>

#include "app/documents.h"
#include "app/input_panel.h"
#include "app/list_copy.h"
#include "app/native_files.h"
#include "app/printing.h"
#include "app/reflection_list_model.h"
#include "app/save_dialog.h"
#include "app/whole_table_task.h"
#include "app/window_session.h"
#include "report/list_pages.h"

namespace tesral {

ListWrite writeSessionList(const CommandContext& context, const QString& path,
                           const RunHeader& header, QString& error, SafeFile::Accept accept) {
    const Session& session = context.session->core();
    const ReportOptions options = context.reportOptions(session.indexDimension());
    std::optional<std::string> failure;
    const auto write = [&](TaskProgress& progress) {
        progress.setTotal(session.table().size());
        failure = writeReportFile(nativePath(path), session.table(), header, options,
                                  &progress.stopFlag(), accept,
                                  [&progress](std::size_t rows) { progress.advance(rows); });
    };
    // While a run fills the session its end must not arrive mid-write: no waiting loop then.
    TaskProgress direct;
    const bool done =
        context.session->busy() || !context.window
            ? (write(direct), true)
            : runWithProgress(context.window,
                              QStringLiteral("Writing %1 ...").arg(QFileInfo(path).fileName()),
                              write);
    if (!done) return ListWrite::Cancelled;
    if (!failure) return ListWrite::Written;
    error = QString::fromStdString(*failure);
    return ListWrite::Failed;
}

void refreshList(CommandContext& context) {
    const Session& session = context.session->core();
    if (!session.calculated()) return;
    const QString path = context.session->workingFile(QStringLiteral("tmp.hkl"));
    const RunHeader& header = session.result().header;
    QString error;
    const ListWrite written =
        writeSessionList(context, path, header, error, SafeFile::Accept::RegularFilesOnly);
    // Cancelled or failed, the list still shows the rows, formatted as they are asked for.
    context.listModel->show(session.table(), header,
                            context.reportOptions(session.indexDimension()));
    context.listFileCurrent = written == ListWrite::Written;
    context.listView->scrollToTop();
    if (written == ListWrite::Failed) showWriteError(context, path, error);
}

void SaveTableCommand::saveTable(CommandContext& context) {
    if (!haveData(context)) return;
    const QString path =
        askSavePath(context.window, QStringLiteral("Save Table"),
                    QDir(context.session->dataFolder()).filePath(QStringLiteral("tesral.hkl")),
                    QStringLiteral("Tesral data (*.hkl)"), QStringLiteral("hkl"));
    if (path.isEmpty()) return;  // cancelled: nothing is written
    QString error;
    if (writeSessionList(context, path, context.session->core().result().header, error) ==
        ListWrite::Failed)
        showWriteError(context, path, error);
}

void CopyListCommand::copyList(CommandContext& context) {
    if (!haveData(context)) return;
    const Session& session = context.session->core();
    const ReportOptions options = context.reportOptions(session.indexDimension());
    const QString path = context.session->workingFile(QStringLiteral("clipboard.hkl"));
    std::optional<CopiedList> copied;
    const bool done =
        runWithProgress(context.window, QStringLiteral("Copying the reflection list ..."),
                        [&](TaskProgress& progress) {
                            copied = copyListRows(session.table(), options.columns,
                                                  options.decimalSeparator, path, progress);
                        });
    // A cancelled copy leaves the clipboard and the file as they were.
    if (!done || !copied) return;
    QApplication::clipboard()->setText(copied->text);
    if (copied->writeError) showWriteError(context, path, *copied->writeError);
}

void PrintListCommand::printList(CommandContext& context) {
    if (!haveData(context)) return;
    const ReflectionListModel& list = *context.listModel;
    QFont font = context.listView->font();
    font.setPointSizeF(8);
    const QString error = printDocument(
        context.window, context.session->dataFolder(), QStringLiteral("tesral.pdf"),
        [&](QPainter& painter, QPagedPaintDevice& device) {
            painter.setFont(font);
            const QFontMetricsF metrics(painter.font(), &device);
            const std::size_t perPage =
                linesPerPage(printablePageSize(device).height(), metrics.lineSpacing());
            bool first = true;
            for (const ListPage& page : listPages(list.lineCount(), perPage)) {
                if (!first) device.newPage();
                first = false;
                for (std::size_t i = 0; i < page.lineCount; ++i)
                    painter.drawText(QPointF(0, i * metrics.lineSpacing() + metrics.ascent()),
                                     QString::fromStdString(list.lineText(page.firstLine + i)));
            }
        });
    if (!error.isEmpty()) showWarning(context, error);
}

void WordProcessorCommand::onTriggered() {
    // The desktop's own application for the file; no command line is built from the path.
    openDocument(context_.window, context_.session->workingFile(QStringLiteral("tmp.hkl")));
}

void WordProcessorCommand::updateEnabled() {
    action()->setEnabled(context_.session->calculated() && !context_.session->busy());
}

ColumnCommand::ColumnCommand(QAction* action, CommandContext& context, bool ColumnChoices::*column)
    : Command(action, context), column_(column) {
    action->setCheckable(true);
    action->setChecked(context.columns.*column_);
}

void ColumnCommand::onTriggered() {
    context_.columns.*column_ = action()->isChecked();
    // The list follows when there are rows to show.
    if (context_.session->calculated() && context_.session->core().reflectionCount() != 0)
        refreshList(context_);
}

FindCommand::FindCommand(QAction* action, CommandContext& context) : Command(action, context) {
    context.listView->viewport()->installEventFilter(this);
}

bool FindCommand::eventFilter(QObject* watched, QEvent* event) {
    // A click into the list starts the next search from the top.
    if (event->type() == QEvent::MouseButtonPress) searchHit_.reset();
    return Command::eventFilter(watched, event);
}

void FindCommand::onTriggered() {
    QListView* view = context_.listView;
    const ReflectionListModel& list = *context_.listModel;
    view->clearSelection();
    const QString typed = context_.panel->searchText();
    const std::string needle = typed.toStdString();
    // The same text goes on after its last hit; a new text starts at the top.
    const bool goOn = searchHit_ && needle == searchText_;
    const TextPlace from = goOn ? TextPlace{searchHit_->line, searchHit_->column + 1} : TextPlace{};
    // The list's text as the file holds it, or its rows formatted a block at a time.
    QFile file(context_.session->workingFile(QStringLiteral("tmp.hkl")));
    const uchar* mapped = nullptr;
    // Only a regular file is opened: a pipe put in its place would wait for a writer.
    if (context_.listFileCurrent && QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly) &&
        file.size() > 0)
        mapped = file.map(0, file.size());
    const auto find = [&](TextPlace at, const SearchProgress& proceed) {
        if (!mapped) return list.find(needle, at, proceed);
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
        context_.session->busy()
            ? (search(direct), true)
            : runWithProgress(context_.window, QStringLiteral("Searching the reflection list ..."),
                              search);
    if (!done) return;  // stopped: the next search starts where this one did
    searchText_ = needle;
    searchHit_ = hit;
    if (!searchHit_) {
        context_.messagePanel->setText(QStringLiteral("'%1' not found").arg(typed));
        return;
    }
    context_.messagePanel->setText(wrapped ? QStringLiteral("search wrapped to the top")
                                           : QString());
    const QModelIndex line = list.index(static_cast<int>(searchHit_->line));
    view->setCurrentIndex(line);
    view->scrollTo(line, QAbstractItemView::PositionAtCenter);
}

}  // namespace tesral
