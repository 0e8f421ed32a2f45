#include "plots/metafile_canvas.h"

#include <algorithm>
#include <vector>

namespace tesral {

namespace {

/** A Qt colour as GDI takes it; nothing when it is fully transparent (no pen, no fill). */
std::optional<ColorRef> gdiColour(QRgb colour) {
    if (qAlpha(colour) == 0) return std::nullopt;
    return colorRef(qRed(colour), qGreen(colour), qBlue(colour));
}

}  // namespace

MetafileCanvas::MetafileCanvas(const PlotTarget& target, int penWidth)
    : width_(metafileCoordinate(target.width)),
      height_(metafileCoordinate(target.height)),
      penWidth_(penWidth),
      penColour_(colorRef(0, 0, 0)),
      brushColour_(colorRef(0, 0, 0)) {
    // The plot box clips its spots; so does a reader that honours this. The clip excludes its
    // right and bottom edges, the frame's lines lie on them.
    recorder_.intersectClipRect(0, 0, width_ + 1, height_ + 1);
    const MetaObject font = recorder_.createFont(makeLogFont(
        target.font.family().toLatin1().toStdString(), kMetafileFontSize, target.twipsPerPixelY));
    pen_ = recorder_.createPen(PenStyle::Solid, penWidth_, *penColour_);
    brush_ = recorder_.createBrush(BrushStyle::Solid, *brushColour_);
    recorder_.selectObject(pen_);
    // No brush is selected yet: the context's initial brush fills the frame.
    recorder_.rectangle(0, 0, width_, height_);
    recorder_.selectObject(brush_);
    recorder_.selectObject(font);
}

void MetafileCanvas::useBackgroundMode(BackgroundMode mode) {
    if (mode == backgroundMode_) return;
    recorder_.setBkMode(mode);
    backgroundMode_ = mode;
}

void MetafileCanvas::usePen(QRgb colour) {
    const std::optional<ColorRef> wanted = gdiColour(colour);
    if (wanted == penColour_) return;
    const MetaObject previous = pen_;
    pen_ = wanted ? recorder_.createPen(PenStyle::Solid, penWidth_, *wanted)
                  : recorder_.createPen(PenStyle::Null, 0, 0);
    recorder_.selectObject(pen_);
    recorder_.deleteObject(previous);
    penColour_ = wanted;
}

void MetafileCanvas::useBrush(QRgb colour) {
    const std::optional<ColorRef> wanted = gdiColour(colour);
    if (wanted == brushColour_) return;
    const MetaObject previous = brush_;
    brush_ = wanted ? recorder_.createBrush(BrushStyle::Solid, *wanted)
                    : recorder_.createBrush(BrushStyle::Hollow, 0);
    recorder_.selectObject(brush_);
    recorder_.deleteObject(previous);
    brushColour_ = wanted;
}

void MetafileCanvas::clear(QRgb background) {
    useBackgroundMode(BackgroundMode::Opaque);
    useBrush(background);
    usePen(background);
    recorder_.rectangle(0, 0, width_, height_);
}

void MetafileCanvas::circle(double x, double y, double r, QRgb outline, QRgb fill) {
    // A spot wholly outside the picture is not seen, but readers that size a picture by what
    // it draws (libwmf) would squeeze the picture to make room for it.
    if (x + r < 0 || y + r < 0 || x - r > width_ || y - r > height_) return;
    useBackgroundMode(BackgroundMode::Opaque);
    useBrush(fill);
    usePen(outline);
    metafileEllipse(recorder_, x, y, r);
}

void MetafileCanvas::text(double x, double y, const QString& text, QRgb colour, const QFont&,
                          TextRole role) {
    // Text starts at its top-left corner: beyond the right or bottom edge it is not seen.
    if (role != TextRole::Label || x > width_ || y > height_) return;
    const std::optional<ColorRef> wanted = gdiColour(colour);
    if (!wanted) return;
    // Labels on screen have no box behind them.
    useBackgroundMode(BackgroundMode::Transparent);
    if (wanted != textColour_) {
        recorder_.setTextColor(*wanted);
        textColour_ = wanted;
    }
    recorder_.textOut(metafileCoordinate(x), metafileCoordinate(y), text.toLatin1().toStdString());
}

Metafile MetafileCanvas::finish() {
    return recorder_.close();
}

void MetafileCanvas::polyline(std::span<const QPointF> points, QRgb colour) {
    if (points.size() < 2) return;
    useBackgroundMode(BackgroundMode::Opaque);
    usePen(colour);
    // Long curves go in pieces that share their end points; a record holds 16-bit sizes.
    constexpr std::size_t kPiece = 4000;
    for (std::size_t first = 0; first + 1 < points.size(); first += kPiece - 1) {
        const std::size_t last = std::min(points.size(), first + kPiece);
        std::vector<int> xy;
        for (std::size_t i = first; i < last; ++i) {
            xy.push_back(metafileCoordinate(points[i].x()));
            xy.push_back(metafileCoordinate(points[i].y()));
        }
        recorder_.polyline(xy);
    }
}

}  // namespace tesral
