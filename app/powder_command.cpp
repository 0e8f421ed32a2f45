#include "app/powder_command.h"

#include "app/calculation_document.h"
#include "app/powder_window.h"

namespace tesral {

void PowderPatternCommand::showPowderWindow(CommandContext& context) {
    auto* window = context.window->findChild<PowderWindow*>(QStringLiteral("powderWindow"));
    if (!window) {
        window = new PowderWindow(context.panel, context.document ? &context.document->model() : nullptr, context.window);
        window->calculate();
    }
    window->show();
    window->raise();
}

}  // namespace tesral
