#include "plots/plot_drawing.h"

#include <algorithm>
#include <cmath>

namespace tesral {

namespace {

/** Draws the spots of one drawing with its styling; the fill carries over between spots. */
class SpotPainter {
  public:
    SpotPainter(const PlotOptions& options, float greyFactor, const PlotTarget& target,
                PlotCanvas& canvas)
        : options_(options),
          styler_(options, greyFactor,
                  startColours(options.filledSpots, target.background, target.foreground)),
          canvas_(canvas) {}

    /** False when the spot's centre or radius is not a finite number. */
    bool draw(const ReflectionRecord& record, float px, float py, float r) {
        const QRgb fill = styler_.styleSpot(record);
        if (!std::isfinite(px) || !std::isfinite(py) || !std::isfinite(r)) return false;
        canvas_.circle(px, py, r, styler_.outline(), fill);
        if (options_.highlightMainSpots && record.isMainSpot)
            canvas_.circle(px, py, r, styler_.outline(), kMainSpotRed);
        return true;
    }

  private:
    const PlotOptions& options_;
    SpotStyler styler_;
    PlotCanvas& canvas_;
};

/** The qi that sizes a spot: a reflection with qi = 0 takes the smallest positive qi. */
float sizingQi(const ReflectionRecord& record, const TableStatistics& statistics) {
    return record.qi() == 0.0f ? statistics.minPositiveQi : record.qi();
}

}  // namespace

bool drawZeroLayer(const PlotData& data, const PlotOptions& options, const PlotTarget& target,
                   PlotCanvas& canvas) {
    const int n = data.indexDimension;
    if (n != 5 && n != 6) return false;
    const float cx = static_cast<float>(target.width / 2.0);
    const float cy = static_cast<float>(target.height / 2.0);
    const float zoom = options.zoom2D;
    // One scale for both axes; at zoom 1 the largest |x| lies on the left or right edge.
    const float s = target.printed ? zoom * (cx * 0.8f / data.statistics.maxZeroLayerX)
                                   : zoom * cx / data.statistics.maxZeroLayerX;
    const std::optional<float> k = greyFactor(options, data.statistics);
    if (!std::isfinite(s) || !k) return false;
    const auto tpp = static_cast<float>(target.twipsPerPixelX);

    canvas.clear(target.background);
    SpotPainter spots(options, *k, target, canvas);
    for (const ReflectionRecord& record : data.table) {
        if (record.h(n - 1) != 0.0f) continue;
        const float r = spotRadius(options, zoom, tpp, sizingQi(record, data.statistics));
        const float px = s * record.x() + cx;
        const float py = s * record.y() + cy;  // not mirrored: positive y lies below
        if (!spots.draw(record, px, py, r)) return false;
        const float labelMinimum =
            target.printed ? static_cast<float>(2.0 * target.twipsPerPixelX) : kLabelMinimumRadius;
        if (r > labelMinimum && options.showIndices)
            canvas.text(px, py, indexLabel(record, n), kLabelBlue, target.font, TextRole::Label);
    }
    return true;
}

bool draw3D(const PlotData& data, const PlotOptions& options, const PlotTarget& target,
            PlotCanvas& canvas) {
    const std::size_t count = data.table.size();
    if (data.points.size() < count) return false;
    const float cx = static_cast<float>(target.width / 2.0);
    const float cy = static_cast<float>(target.height / 2.0);
    const float zoom = options.zoom3D;
    const TableStatistics& st = data.statistics;
    const float largest = std::max({st.maxX, st.maxY, st.maxZ});
    // 0.9 keeps the outermost spots inside the box.
    const auto scale = target.printed
                           ? zoom * (cx * 0.8f / largest)
                           : static_cast<float>(static_cast<double>(cx / largest) * zoom * 0.9);
    const std::optional<float> k = greyFactor(options, st);
    if (!std::isfinite(scale) || !k) return false;
    const auto tpp = static_cast<float>(target.twipsPerPixelX);

    canvas.clear(target.background);
    SpotPainter spots(options, *k, target, canvas);
    // Rows are in depth order, the farthest first, so nearer spots are painted over them.
    for (std::size_t i = 0; i < count; ++i) {
        const ProjectedPoint& point = data.points[i];
        if (point.row >= count) return false;
        const ReflectionRecord& record = data.table[point.row];
        const float r = spotRadius(options, zoom, tpp, sizingQi(record, st));
        const float px = scale * point[1] + cx;
        const float py = scale * point[2] + cy;
        if (!spots.draw(record, px, py, r)) return false;
    }
    if (options.highlightDirections) {
        const double x = 3 * target.twipsPerPixelX;
        canvas.text(x, 2 * target.twipsPerPixelY, QStringLiteral("along"), kAlongGreen, target.font,
                    TextRole::Legend);
        canvas.text(x, 15 * target.twipsPerPixelY, QStringLiteral("between"), kBetweenBlue,
                    target.font, TextRole::Legend);
    }
    return true;
}

bool drawPlot(PlotKind kind, const PlotData& data, const PlotOptions& options,
              const PlotTarget& target, PlotCanvas& canvas) {
    return kind == PlotKind::ThreeD ? draw3D(data, options, target, canvas)
                                    : drawZeroLayer(data, options, target, canvas);
}

}  // namespace tesral
