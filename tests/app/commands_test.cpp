// Commands over a session, without the main window: their enabled state follows the session,
// and their work runs from the static functions.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTest>

#include "app/list_commands.h"
#include "app/window_commands.h"
#include "app/window_session.h"
#include "report/clipboard_rows.h"
#include "window_driver.h"

using namespace tesral;

class CommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void enabledStateFollowsTheSession();
    void copyListRunsWithoutTheWindow();

  private:
    QTemporaryDir folder_;
};

void CommandsTest::enabledStateFollowsTheSession() {
    WindowSession session(folder_.path());
    CommandContext context;
    context.session = &session;
    QAction save, wordProcessor, exit;
    attach<SaveTableCommand>(&save, context);
    attach<WordProcessorCommand>(&wordProcessor, context);
    attach<ExitCommand>(&exit, context);
    const auto states = [&] {
        return QList<bool>{save.isEnabled(), wordProcessor.isEnabled(), exit.isEnabled()};
    };
    // Saving waits for a run to end, the word processor needs results, Exit is always there.
    QCOMPARE(states(), (QList<bool>{true, false, true}));
    session.setBusy(true);
    QCOMPARE(states(), (QList<bool>{false, false, true}));
    session.setBusy(false);
    session.publish(runGeneration(RunInputs{}), {});
    QCOMPARE(states(), (QList<bool>{true, true, true}));
    session.setBusy(true);
    QCOMPARE(states(), (QList<bool>{false, false, true}));
    session.setBusy(false);
    session.clear();
    QCOMPARE(states(), (QList<bool>{true, false, true}));
}

void CommandsTest::copyListRunsWithoutTheWindow() {
    QLocale::setDefault(QLocale::c());
    WindowSession session(folder_.path());
    session.publish(runGeneration(RunInputs{}), {});
    CommandContext context;
    context.session = &session;
    context.columns.theta = false;
    CopyListCommand::copyList(context);
    const std::string rows =
        clipboardRows(session.core().table(), ReportColumns::from({.theta = false}, 5), '.');
    QCOMPARE(QApplication::clipboard()->text().toStdString(), rows);
    // The working file lies in the session's folder.
    QCOMPARE(test::fileBytes(folder_.filePath(QStringLiteral("clipboard.hkl"))).toStdString(),
             rows);
}

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
