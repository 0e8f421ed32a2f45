#pragma once

// The reflection list's commands: save, copy, print, the word processor, the search and the
// Table menu's columns.

#include <optional>
#include <string>

#include "app/command.h"
#include "report/report_search.h"
#include "report/safe_file.h"

class QEvent;

namespace tesral {

/** How writing the session's rows to a file ended. */
enum class ListWrite { Written, Cancelled, Failed };

/**
 * Writes the session's rows under `header`, with a cancellable progress dialog when it takes
 * a while (none without a window, or while a run fills the session); a cancelled or failed
 * write keeps the old file. `error` gets the reason.
 */
ListWrite writeSessionList(const CommandContext& context, const QString& path,
                           const RunHeader& header, QString& error,
                           SafeFile::Accept accept = SafeFile::Accept::AnyFile);

/**
 * Writes "tmp.hkl" anew with the chosen columns and shows the list as it was written; the
 * rows keep the header of the run that produced them.
 */
void refreshList(CommandContext& context);

/** Save reflection list: the rows to a file the user names. */
class SaveTableCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override { saveTable(context_); }
    static void saveTable(CommandContext& context);
};

/** Copy reflection list: the clipboard rows as text, and in "clipboard.hkl". */
class CopyListCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override { copyList(context_); }
    static void copyList(CommandContext& context);
};

/** Print reflection list: the lines the list shows, page by page. */
class PrintListCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override { printList(context_); }
    static void printList(CommandContext& context);
};

/** Wordpad: "tmp.hkl" in the desktop's application for it; only with results. */
class WordProcessorCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override;
    void updateEnabled() override;
};

/** A column item of the Table menu: shows or hides its columns and rewrites the list. */
class ColumnCommand : public Command {
    Q_OBJECT
  public:
    ColumnCommand(QAction* action, CommandContext& context, bool ColumnChoices::*column);
    void onTriggered() override;

  private:
    bool ColumnChoices::*column_;
};

/**
 * The list search (bRTFFIND, Return in tfFind). The same text goes on after its last hit and
 * wraps to the top once; a new text, or a click into the list, starts at the top. Not refused
 * during a run: it then searches without a progress dialog.
 */
class FindCommand : public Command {
    Q_OBJECT
  public:
    FindCommand(QAction* action, CommandContext& context);
    void onTriggered() override;
    void updateEnabled() override {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    /** The last search's text and hit; without a hit the next search starts at the top. */
    std::string searchText_;
    std::optional<TextPlace> searchHit_;
};

}  // namespace tesral
