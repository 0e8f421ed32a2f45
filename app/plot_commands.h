#pragma once

// The plots' commands: their pictures' sources for the picture commands, the large view, the
// colours and the View flags.

#include <optional>

#include "app/command.h"
#include "app/picture_commands.h"
#include "plots/plot_options.h"

namespace tesral {

/**
 * The picture commands' view of a plot: the box of `kind` (the large view when it shows it),
 * or the large view's plot when `kind` is empty (its buttons).
 */
PictureSource plotPicture(const CommandContext& context, std::optional<PlotKind> kind = {});

/** The plots' save dialog: "Save Bitmap (*.BMP)", a bitmap unless another type is named. */
PictureFiles plotFiles();

/** The plots' metafile copy is written to this working file as well. */
inline constexpr const char* kPlotMetafile = "a.wmf";

/** bBig2D, bBig3D: opens the large view on the plot, or closes it when it shows that plot. */
class LargeViewCommand : public Command {
    Q_OBJECT
  public:
    LargeViewCommand(QAction* action, CommandContext& context, PlotKind kind);
    void onTriggered() override;

  private:
    PlotKind kind_;
};

/** btCloseBig. */
class CloseLargeViewCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override;
};

/** Invert background: white on black and back, in every plot box. */
class InvertBackgroundCommand : public Command {
    Q_OBJECT
  public:
    using Command::Command;
    void onTriggered() override;
};

/** A View flag: its check mark follows the options, which a click toggles. */
class PlotFlagCommand : public Command {
    Q_OBJECT
  public:
    PlotFlagCommand(QAction* action, CommandContext& context, PlotFlag flag);
    void onTriggered() override;

  private:
    void showCheck();
    PlotFlag flag_;
};

}  // namespace tesral
