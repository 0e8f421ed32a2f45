#include "app/powder_command.h"

#include "app/calculation_document.h"
#include "app/powder_window.h"
#include "app/view_document.h"

namespace tesral {

PowderWindow* PowderPatternCommand::showPowderWindow(CommandContext& context) {
    auto* window = context.window
                       ? context.window->findChild<PowderWindow*>(QStringLiteral("powderWindow"))
                       : nullptr;
    const bool opened = window != nullptr;
    if (!window) window = new PowderWindow(context, context.window);
    window->show();
    window->raise();
    if (!opened && viewDocument(context).shown()) window->calculate();
    return window;
}

}  // namespace tesral
