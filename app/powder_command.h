#pragma once

#include "app/command.h"

namespace tesral {

/** View > Powder pattern: opens (or raises) the powder pattern window of the panel's inputs. */
class PowderPatternCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override { showPowderWindow(context_); }
    void updateEnabled() override {}
    static void showPowderWindow(CommandContext& context);
};

}  // namespace tesral
