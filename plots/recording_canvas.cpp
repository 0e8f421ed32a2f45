#include "plots/recording_canvas.h"

namespace tesral {

void RecordingCanvas::clear(QRgb background) {
    Item item;
    item.kind = Kind::Clear;
    item.outline = background;
    items_.push_back(item);
}

void RecordingCanvas::circle(double x, double y, double r, QRgb outline, QRgb fill) {
    Item item;
    item.kind = Kind::Circle;
    item.x = x;
    item.y = y;
    item.r = r;
    item.outline = outline;
    item.fill = fill;
    items_.push_back(item);
}

void RecordingCanvas::text(double x, double y, const QString& text, QRgb colour, const QFont& font,
                           TextRole role) {
    Item item;
    item.kind = Kind::Text;
    item.x = x;
    item.y = y;
    item.outline = colour;
    item.text = text;
    item.font = font;
    item.role = role;
    items_.push_back(item);
}

void RecordingCanvas::polyline(std::span<const QPointF> points, QRgb colour) {
    Item item;
    item.kind = Kind::Polyline;
    item.outline = colour;
    item.points.assign(points.begin(), points.end());
    items_.push_back(item);
}

void RecordingCanvas::picture(double x, double y, double w, double h, const QImage& image) {
    Item item;
    item.kind = Kind::Picture;
    item.x = x;
    item.y = y;
    item.w = w;
    item.h = h;
    item.pictureSize = image.size();
    items_.push_back(item);
}

std::vector<RecordingCanvas::Item> RecordingCanvas::items(Kind kind) const {
    std::vector<Item> out;
    for (const Item& item : items_)
        if (item.kind == kind) out.push_back(item);
    return out;
}

}  // namespace tesral
