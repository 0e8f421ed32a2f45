#pragma once

// The Help menu and the used-matrices view: available during a run.

#include <QString>

#include "app/command.h"

namespace tesral {

/** A page of the bundled manual, or a web address, in the desktop's browser. */
class DocumentCommand : public Command {
    Q_OBJECT
  public:
    enum class Where { Manual, Web };
    DocumentCommand(QAction* action, CommandContext& context, Where where, QString target);
    void onTriggered() override;
    void updateEnabled() override {}

  private:
    Where where_;
    QString target_;
};

/** Help > About: frmSplash. */
class AboutCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override;
    void updateEnabled() override {}
};

/**
 * View > Used matrices: the basis of the inputs as they stand, in viewMX; the last run's
 * results are not touched.
 */
class UsedMatricesCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override { showUsedMatrices(context_); }
    void updateEnabled() override {}
    static void showUsedMatrices(CommandContext& context);
};

}  // namespace tesral
