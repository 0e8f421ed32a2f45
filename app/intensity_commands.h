#pragma once

// The intensity model of the window: its dialog.

#include "app/command.h"

namespace tesral {

/** View > Intensity model...: edits a copy of the window's model; OK applies it. */
class IntensityModelCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override { editModel(context_); }
    static void editModel(CommandContext& context);
};

}  // namespace tesral
