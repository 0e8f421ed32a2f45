#pragma once

// The menus, the toolbar and the command buttons: each item is made here with its
// objectName and caption, and a command object attached to it. Adding an item is one line.

#include <functional>

#include "plots/plot_options.h"

class QMenu;
class QToolBar;
class QToolButton;

namespace tesral {

class LargeView;
struct CommandContext;

void buildFileMenu(QMenu& menu, CommandContext& context);
void buildTableMenu(QMenu& menu, CommandContext& context);
void buildViewMenu(QMenu& menu, CommandContext& context);
void buildHelpMenu(QMenu& menu, CommandContext& context);
/** Toolbar1's six buttons; `startRun` is the run of Execute calculation (F5). */
void buildToolBar(QToolBar& toolBar, CommandContext& context, std::function<void()> startRun);
/** bBig2D or bBig3D of the plot strip. */
QToolButton* buildLargeViewButton(CommandContext& context, PlotKind kind);
/** The large view's copy, save, print and close buttons. */
void attachLargeViewButtons(LargeView& view, CommandContext& context);
/** bRTFFIND and Return in tfFind. */
void attachFind(CommandContext& context);

}  // namespace tesral
