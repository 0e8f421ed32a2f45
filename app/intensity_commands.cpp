#include "app/intensity_commands.h"

#include "app/calculation_document.h"
#include "app/input_panel.h"
#include "app/intensity_model_dialog.h"
#include "app/screen_fit.h"
#include "app/window_session.h"

namespace tesral {

void IntensityModelCommand::editModel(CommandContext& context) {
    const int indexDimension = context.panel ? indexDimensionOf(context.panel->inputs().system) : 5;
    IntensityModelDialog dialog(context.document->model(), indexDimension, context.window);
    dialog.setFolder(context.session->dataFolder());
    fitToScreen(dialog, dialog.size());
    if (dialog.exec() == QDialog::Accepted) context.document->setModel(dialog.model());
}

}  // namespace tesral
