#pragma once

// The plots' commands: bitmaps, printing, the metafile copy, the large view, the colours and
// the View flags.

#include <optional>

#include "app/command.h"
#include "plots/plot_options.h"

namespace tesral {

class PlotView;

/**
 * A command on one plot: of a fixed kind (the File menu), or of the kind the large view
 * shows (its buttons) when `kind` is empty.
 */
class PlotCommand : public Command {
    Q_OBJECT
  public:
    PlotCommand(QAction* action, CommandContext& context, std::optional<PlotKind> kind = {});

  protected:
    PlotKind kind() const;

  private:
    std::optional<PlotKind> kind_;
};

/** Save 2D/3D as BMP: the box's picture to a file the user names. */
class SavePlotBitmapCommand : public PlotCommand {
    Q_OBJECT
  public:
    using PlotCommand::PlotCommand;
    void onTriggered() override { saveBitmap(context_, kind()); }
    static void saveBitmap(CommandContext& context, PlotKind kind);
};

/** Copy 2D/3D as BMP: the box's picture to the clipboard. */
class CopyPlotBitmapCommand : public PlotCommand {
    Q_OBJECT
  public:
    using PlotCommand::PlotCommand;
    void onTriggered() override { copyBitmap(context_, kind()); }
    static void copyBitmap(CommandContext& context, PlotKind kind);
};

/** Print 2D/3D plot: the plot drawn for the page, with its run's header. */
class PrintPlotCommand : public PlotCommand {
    Q_OBJECT
  public:
    using PlotCommand::PlotCommand;
    void onTriggered() override { printPlot(context_, kind()); }
    static void printPlot(CommandContext& context, PlotKind kind);
};

/**
 * Copy 2D/3D as WMF: the box redrawn into a placeable metafile, written to "a.wmf" and put
 * on the clipboard with the same picture as SVG and as a bitmap.
 */
class CopyMetafileCommand : public PlotCommand {
    Q_OBJECT
  public:
    using PlotCommand::PlotCommand;
    void onTriggered() override { copyMetafile(context_, kind()); }
    static void copyMetafile(CommandContext& context, PlotKind kind);
};

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
