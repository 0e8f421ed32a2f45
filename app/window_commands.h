#pragma once

// The window's own commands: New, the run, Exit, and the toolbar's output chooser.

#include <QString>
#include <functional>

#include "app/command.h"

namespace tesral {

/** New: no results; the coordinate extremes of the session stay. */
class NewCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override { clearSession(context_); }
    static void clearSession(CommandContext& context);
};

/** Execute calculation (F5): starts a run through `start`. */
class ExecuteCommand : public Command {
    Q_OBJECT
  public:
    ExecuteCommand(QAction* action, CommandContext& context, std::function<void()> start);
    void onTriggered() override { start_(); }

  private:
    std::function<void()> start_;
};

/** Exit: closes the window, which keeps the inputs. Available during a run. */
class ExitCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override;
    void updateEnabled() override {}
};

/** What the toolbar's Save, Copy and Print buttons do with each target of the chooser. */
struct OutputTargets {
    std::function<void()> zeroLayerPlot;
    std::function<void()> threeDPlot;
    std::function<void()> reflectionList;
};

/** A toolbar button that asks for its target (dlg2OR3) below itself, then runs its command. */
class ChooseOutputCommand : public Command {
    Q_OBJECT
  public:
    ChooseOutputCommand(QAction* action, CommandContext& context, QString caption,
                        OutputTargets targets);
    void onTriggered() override;

  private:
    QString caption_;
    OutputTargets targets_;
};

}  // namespace tesral
