#pragma once

#include <QSize>

class QWidget;

namespace tesral {

/**
 * Sizes a top-level window to `wanted` (pixels), shrunk to the available area of its screen
 * (title bar and frame allowed for) and, once placed or shown, moved inside it, so no part
 * opens off-screen at any scale factor.
 */
void fitToScreen(QWidget& window, QSize wanted);

}  // namespace tesral
