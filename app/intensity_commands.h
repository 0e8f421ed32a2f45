#pragma once

// The intensity model of the window: its dialog, and what a run makes of it.

#include "app/command.h"
#include "engine/generation.h"
#include "report/run_job.h"

namespace tesral {

/** View > Intensity model...: edits a copy of the window's model; OK applies it. */
class IntensityModelCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override { editModel(context_); }
    static void editModel(CommandContext& context);
};

/**
 * What the next run makes of the model: with "use intensities" ticked and a model with sites,
 * the rows step that works out the intensities, and the model's line in the run's head.
 * Nothing (an empty step, the head unchanged) otherwise. When the model does not fit the
 * run's system, `problem` says why and the run should not start.
 */
RowsStep intensityStep(const CommandContext& context, PreparedRun& run, QString& problem);

}  // namespace tesral
