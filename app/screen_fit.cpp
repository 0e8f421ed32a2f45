#include "app/screen_fit.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tesral {

namespace {

/** Room left for a window manager's title bar and frame, pixels. */
constexpr int kFrameAllowance = 40;

}  // namespace

void fitToScreen(QWidget& window, QSize wanted) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window.resize(wanted);
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize room(std::max(1, area.width() - kFrameAllowance / 2),
                     std::max(1, area.height() - kFrameAllowance));
    const QSize size = wanted.boundedTo(room).expandedTo(window.minimumSizeHint().boundedTo(room));
    window.resize(size);
    // A window never placed is left to Qt, which centres a dialog over its parent.
    if (!window.isVisible() && !window.testAttribute(Qt::WA_Moved)) return;
    QPoint at = window.pos();
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - size.width())));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - size.height())));
    window.move(at);
}

void roomForButtonText(QWidget& window) {
    for (QPushButton* b : window.findChildren<QPushButton*>()) {
        const QFontMetrics metrics = b->fontMetrics();
        b->setMinimumWidth(std::max(b->sizeHint().width(), metrics.horizontalAdvance(b->text()) +
                                                               4 * metrics.averageCharWidth()));
    }
}

}  // namespace tesral
