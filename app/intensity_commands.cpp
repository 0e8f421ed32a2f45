#include "app/intensity_commands.h"

#include "app/calculation_document.h"
#include "app/input_panel.h"
#include "app/intensity_model_dialog.h"
#include "app/screen_fit.h"
#include "app/window_session.h"
#include "physics/intensity.h"
#include "physics/model_head.h"

namespace tesral {

void IntensityModelCommand::editModel(CommandContext& context) {
    const int indexDimension = context.panel ? indexDimensionOf(context.panel->inputs().system) : 5;
    IntensityModelDialog dialog(context.document->model(), indexDimension, context.window);
    dialog.setFolder(context.session->dataFolder());
    fitToScreen(dialog, dialog.size());
    if (dialog.exec() == QDialog::Accepted) context.document->setModel(dialog.model());
}

RowsStep intensityStep(const CommandContext& context, PreparedRun& run, QString& problem) {
    const std::optional<physics::StructureModel> used = context.document->modelForRun();
    if (!used) return {};
    const physics::StructureModel& model = *used;
    if (const std::string why = physics::modelProblem(model, run.parameters.system); !why.empty()) {
        problem = QStringLiteral("The intensity model cannot be used with this run: %1")
                      .arg(QString::fromStdString(why));
        return {};
    }
    run.header.modelText = physics::modelHeadLine(model, run.parameters.wavelength);
    return [model](RunResult& result, const std::function<bool()>& stopped) {
        return physics::fillIntensities(model, result, stopped);
    };
}

}  // namespace tesral
