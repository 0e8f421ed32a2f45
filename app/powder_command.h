#pragma once

#include "app/command.h"

namespace tesral {

class PowderWindow;

/** View > Powder pattern: opens (or raises) the powder pattern window of the shown run. */
class PowderPatternCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override { showPowderWindow(context_); }
    void updateEnabled() override {}
    static PowderWindow* showPowderWindow(CommandContext& context);
};

}  // namespace tesral
