#include "app/command.h"

#include <QAction>
#include <QDir>
#include <QLocale>
#include <QMessageBox>

#include "app/input_panel.h"
#include "app/window_session.h"

namespace tesral {

namespace {

/** The user's decimal separator where it is a single byte, else a point. */
char decimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 0x80 ? point.at(0).toLatin1() : '.';
}

}  // namespace

ReportOptions CommandContext::reportOptions(int indexDimension) const {
    if (session->calculated()) return reportOptions(session->core().result().parameters);
    ReportOptions options;
    options.columns = ReportColumns::from(columns, indexDimension);
    if (panel) options.convention = panel->inputs().convention;
    options.decimalSeparator = decimalSeparator();
    return options;
}

ReportOptions CommandContext::reportOptions(const RunParameters& run) const {
    ReportOptions options;
    options.columns = ReportColumns::from(columns, run);
    options.convention = run.convention;
    options.decimalSeparator = decimalSeparator();
    return options;
}

Command::Command(QAction* action, CommandContext& context)
    : QObject(action), context_(context), action_(action) {
    connect(action, &QAction::triggered, this, [this] { onTriggered(); });
    const WindowSession* session = context.session;
    connect(session, &WindowSession::busyChanged, this, [this] { updateEnabled(); });
    connect(session, &WindowSession::published, this, [this] { updateEnabled(); });
    connect(session, &WindowSession::cleared, this, [this] { updateEnabled(); });
}

void Command::updateEnabled() {
    action_->setEnabled(!context_.session->busy());
}

namespace {

/** Message boxes are headed by the window's title; a command run without one has none. */
QString titleOf(const CommandContext& context) {
    return context.window ? context.window->windowTitle() : QString();
}

}  // namespace

bool haveData(const CommandContext& context) {
    if (context.session->calculated()) return true;
    QMessageBox::information(context.window, titleOf(context), QStringLiteral("no data"),
                             QMessageBox::Ok);
    return false;
}

void showWriteError(const CommandContext& context, const QString& path, const QString& reason) {
    showWarning(context,
                QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), reason));
}

void showWarning(const CommandContext& context, const QString& text) {
    QMessageBox::warning(context.window, titleOf(context), text);
}

}  // namespace tesral
