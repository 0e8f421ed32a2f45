#pragma once

#include <QObject>
#include <QString>
#include <utility>

#include "report/report_columns.h"
#include "report/report_writer.h"

class QAction;
class QLabel;
class QListView;
class QWidget;

namespace tesral {

class CalculationDocument;
class InputPanel;
class PlotBoxes;
class ReflectionListModel;
class WindowSession;

/**
 * What the commands work on: the session and the window's parts. Owned by the window; a
 * command's static function needs only the parts it uses (a test may leave the rest null).
 */
struct CommandContext {
    WindowSession* session = nullptr;
    /** The shown run's calculation and the current intensity model with its use. */
    CalculationDocument* document = nullptr;
    /** The parent of dialogs; its title heads message boxes. */
    QWidget* window = nullptr;
    PlotBoxes* plots = nullptr;
    ReflectionListModel* listModel = nullptr;
    QListView* listView = nullptr;
    InputPanel* panel = nullptr;
    /** The status panel of short messages: a search's miss or wrap. */
    QLabel* messagePanel = nullptr;
    /** The Table menu's column items. */
    ColumnChoices columns;
    /** "tmp.hkl" holds the text the list shows. */
    bool listFileCurrent = false;

    /**
     * The list's columns and number format. The session's rows are headed by their run's
     * convention and their |H-perp| scaled by their run; before a run, by the fields'.
     */
    ReportOptions reportOptions(int indexDimension) const;
    /** The same for the rows of a run with these parameters. */
    ReportOptions reportOptions(const RunParameters& run) const;
};

/**
 * One command bound to its QAction: the action's triggered() runs onTriggered(), and the
 * session's signals set the action's enabled state through updateEnabled(). The work
 * itself is a static function of each command that takes the context, so the output
 * chooser and tests can call it without the menu item.
 */
class Command : public QObject {
    Q_OBJECT

  public:
    Command(QAction* action, CommandContext& context);

    QAction* action() const { return action_; }
    virtual void onTriggered() = 0;
    /** By default refused while a run fills the session. */
    virtual void updateEnabled();

  protected:
    CommandContext& context_;

  private:
    QAction* action_;
};

/**
 * Makes a command of type C on `action` (the action's child, so it lives as long) and sets
 * its first enabled state.
 */
template <class C, class... Args>
C* attach(QAction* action, CommandContext& context, Args&&... args) {
    auto* command = new C(action, context, std::forward<Args>(args)...);
    command->updateEnabled();
    return command;
}

/** True when the session has results; otherwise says "no data". */
bool haveData(const CommandContext& context);
/** "Cannot write <path>: <reason>". */
void showWriteError(const CommandContext& context, const QString& path, const QString& reason);
/** A warning box under the window's title. */
void showWarning(const CommandContext& context, const QString& text);

}  // namespace tesral
