#include "plots/zone_picture.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include "plots/drawing_picture.h"

namespace tesral {
namespace {

/** Draws the section's pattern onto a picture's canvas. */
CanvasDrawing zoneDrawing(const ZonePatternData& data, const PlotOptions& options) {
    return [&](const PlotTarget& target, PlotCanvas& canvas) {
        return drawZonePattern(data, options, target, canvas);
    };
}

/** Paper is white with black ink, whatever the screen shows. */
PictureSettings paperSettings(const QFont& font) {
    PictureSettings paper;
    paper.background = kWhite;
    paper.foreground = kBlack;
    paper.font = font;
    return paper;
}

}  // namespace

bool drawZonePage(QPainter& painter, QPagedPaintDevice& device, const ZonePatternData& data,
                  const PlotOptions& options, const QFont& font) {
    return drawOnPage(painter, device, paperSettings(font), zoneDrawing(data, options), true);
}

std::optional<QByteArray> renderZonePicture(PictureFormat format, const ZonePatternData& data,
                                            const PlotOptions& options,
                                            const PictureSettings& settings, QString* reason) {
    PictureDrawing drawing;
    drawing.draw = zoneDrawing(data, options);
    drawing.title = QStringLiteral("Tesral zone axis");
    drawing.nothing = QStringLiteral("the section could not be drawn");
    drawing.square = true;
    return pictureBytes(format, settings, drawing, reason);
}

}  // namespace tesral
