#include "app/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace tesral {

namespace {

/** A sheet of paper with a folded corner, in a 24-unit box. */
void paper(QPainter& p, const QRectF& r) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 5, r.top());
    path.lineTo(r.right(), r.top() + 5);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(path);
}

void draw(QPainter& p, ToolbarIcon which) {
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    switch (which) {
        case ToolbarIcon::New:
            paper(p, QRectF(5, 2, 14, 20));
            break;
        case ToolbarIcon::Save:
            p.setBrush(QColor(60, 90, 160));
            p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(7, 3, 10, 7));
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(6, 13, 12, 8));
            break;
        case ToolbarIcon::Copy:
            paper(p, QRectF(3, 2, 12, 15));
            paper(p, QRectF(9, 7, 12, 15));
            break;
        case ToolbarIcon::Print:
            paper(p, QRectF(7, 2, 10, 8));
            p.setBrush(QColor(150, 150, 150));
            p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
            paper(p, QRectF(7, 15, 10, 7));
            break;
        case ToolbarIcon::InvertBackground:
            p.setBrush(Qt::black);
            p.drawRect(QRectF(3, 3, 9, 18));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(12, 3, 9, 18));
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(7.5, 12), 2.5, 2.5);
            p.setBrush(Qt::black);
            p.drawEllipse(QPointF(16.5, 12), 2.5, 2.5);
            break;
        case ToolbarIcon::Execute: {
            // A diffraction pattern: a ring of spots about a centre.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(200, 30, 30));
            p.drawEllipse(QPointF(12, 12), 2.5, 2.5);
            p.setBrush(QColor(30, 30, 30));
            for (int i = 0; i < 10; ++i) {
                const double a = i * 3.14159265358979 / 5.0;
                p.drawEllipse(QPointF(12 + 8 * std::cos(a), 12 + 8 * std::sin(a)), 1.8, 1.8);
            }
            break;
        }
    }
}

}  // namespace

QIcon toolbarIcon(ToolbarIcon which) {
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(24 * scale, 24 * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter, which);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace tesral
