#pragma once

#include <QIcon>

namespace tesral {

/** The six toolbar pictures, in button order. */
enum class ToolbarIcon { New, Save, Copy, Print, InvertBackground, Execute };

/** Drawn in code, sharp at any device pixel ratio. */
QIcon toolbarIcon(ToolbarIcon which);

}  // namespace tesral
