#include "app/window_commands.h"

#include <QAction>
#include <QToolBar>
#include <QWidget>

#include "app/output_chooser.h"
#include "app/window_session.h"

namespace tesral {

void NewCommand::clearSession(CommandContext& context) {
    if (!context.session->busy()) context.session->clear();
}

ExecuteCommand::ExecuteCommand(QAction* action, CommandContext& context,
                               std::function<void()> start)
    : Command(action, context), start_(std::move(start)) {}

void ExitCommand::onTriggered() {
    context_.window->close();
}

ChooseOutputCommand::ChooseOutputCommand(QAction* action, CommandContext& context, QString caption,
                                         OutputTargets targets)
    : Command(action, context), caption_(std::move(caption)), targets_(std::move(targets)) {}

void ChooseOutputCommand::onTriggered() {
    // Below the button that shows the action, not the toolbar that holds it.
    QWidget* anchor = nullptr;
    for (QObject* object : action()->associatedObjects())
        if (auto* widget = qobject_cast<QWidget*>(object);
            widget && !qobject_cast<QToolBar*>(widget))
            anchor = widget;
    switch (OutputChooser::choose(caption_, anchor, context_.window)) {
        case OutputChooser::ZeroLayerPlot:
            targets_.zeroLayerPlot();
            break;
        case OutputChooser::ThreeDPlot:
            targets_.threeDPlot();
            break;
        case OutputChooser::ReflectionList:
            targets_.reflectionList();
            break;
        default:
            break;  // cancelled
    }
}

}  // namespace tesral
