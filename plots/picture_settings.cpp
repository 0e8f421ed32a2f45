#include "plots/picture_settings.h"

#include <QGuiApplication>

namespace tesral {

PlotTarget pictureTarget(const PictureSettings& settings) {
    PlotTarget target;
    target.twipsPerPixelX = twipsPerPixel(kPictureDpi);
    target.twipsPerPixelY = target.twipsPerPixelX;
    target.width = settings.size.width() * target.twipsPerPixelX;
    target.height = settings.size.height() * target.twipsPerPixelY;
    target.background = settings.background;
    target.foreground = settings.foreground;
    target.font = settings.font;
    return target;
}

QFont defaultPlotFont() {
    QFont font = QGuiApplication::font();
    font.setPointSize(8);
    return font;
}

}  // namespace tesral
