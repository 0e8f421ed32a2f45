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

/**
 * Widens the push buttons in `window` to two average characters of room on either side of
 * their text: the style's own margin leaves the last letter on the frame. Call it before
 * fitToScreen, once the buttons have their texts.
 */
void roomForButtonText(QWidget& window);

}  // namespace tesral
