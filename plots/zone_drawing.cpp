#include "plots/zone_drawing.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "plots/spot_style.h"

namespace tesral {
namespace {

constexpr QRgb kTransparent = 0x00000000u;
/** The pattern fills this part of half the shorter side. */
constexpr double kFill = 0.9;

/** A straight bar of dots one pixel apart: the canvas draws discs only. */
void drawBar(PlotCanvas& canvas, double x0, double x1, double y, double pixel, QRgb colour) {
    for (double x = x0; x <= x1 + 0.5 * pixel; x += pixel)
        canvas.circle(x, y, 0.75 * pixel, colour, colour);
}

QString barText(double length, const char* unit) {
    return QString::number(length, 'g', 3) + QString::fromUtf8(unit);
}

}  // namespace

QString zoneIndexText(const ReflectionRecord& record, int indexDimension) {
    QString text;
    for (int i = 0; i < indexDimension; ++i) {
        if (i) text += QLatin1Char(' ');
        text += QString::number(static_cast<long>(std::lrint(record.h(i))));
    }
    return text;
}

ZoneLayout zoneLayout(const ZonePatternData& data, const PlotOptions& options,
                      const PlotTarget& target) {
    ZoneLayout layout{target.width / 2.0, target.height / 2.0, 0.0};
    double extent = 0.0;
    for (const ZoneSpot& s : data.spots) extent = std::max(extent, std::hypot(s.u, s.v));
    if (extent > 0.0 && std::isfinite(extent))
        layout.scale = options.zoom2D * kFill * std::min(layout.centreX, layout.centreY) / extent;
    return layout;
}

double roundBarLength(double about) {
    if (!(about > 0.0) || !std::isfinite(about)) return 0.0;
    const double power = std::pow(10.0, std::floor(std::log10(about)));
    const double mantissa = about / power;
    return (mantissa < 1.5 ? 1.0 : mantissa < 3.5 ? 2.0 : mantissa < 7.5 ? 5.0 : 10.0) * power;
}

bool drawZonePattern(const ZonePatternData& data, const PlotOptions& options,
                     const PlotTarget& target, PlotCanvas& canvas) {
    const double pixel = target.twipsPerPixelX;
    const double cx = target.width / 2.0, cy = target.height / 2.0;
    canvas.clear(target.background);
    const QFontMetricsF metrics(target.font);
    const double lineHeight = metrics.height() * pixel;
    canvas.text(6 * pixel, 4 * pixel, data.title, target.foreground, target.font, TextRole::Label);

    double extent = 0.0;
    for (const ZoneSpot& s : data.spots) extent = std::max(extent, std::hypot(s.u, s.v));
    if (data.spots.empty() || !(extent > 0.0)) {
        const double width = metrics.horizontalAdvance(kEmptySectionText) * pixel;
        canvas.text(cx - width / 2.0, cy - lineHeight / 2.0, kEmptySectionText, target.foreground,
                    target.font, TextRole::Label);
        return true;
    }
    if (data.spots.size() != data.table.size() || !std::isfinite(extent)) return false;
    const double scale = zoneLayout(data, options, target).scale;  // twips per 1/A
    const auto tpp = static_cast<float>(pixel);
    const float factor = spotFactor(options);

    // Radii first: the strongest spots are the largest.
    std::vector<float> radius(data.table.size(), 0.0f);
    for (std::size_t i = 0; i < data.table.size(); ++i) {
        const ReflectionRecord& row = data.table[i];
        std::optional<float> r;
        if (options.sizeByIntensity) {
            r = intensitySpotRadius(options, factor, 1.0f, tpp, row.v[kIntensity]);
        } else {
            const float qi = row.qi() == 0.0f ? data.statistics.minPositiveQi : row.qi();
            r = spotRadius(options.sizeByInverseQi, factor, 1.0f, tpp, qi);
        }
        radius[i] = r ? std::min(*r, static_cast<float>(40.0 * pixel)) : 0.0f;
    }
    const QRgb fg = target.foreground;
    // The smaller spots go first, so that the larger (stronger) ones lie whole on top.
    std::vector<std::size_t> bySize(data.table.size());
    std::iota(bySize.begin(), bySize.end(), std::size_t{0});
    std::stable_sort(bySize.begin(), bySize.end(),
                     [&](std::size_t a, std::size_t b) { return radius[a] < radius[b]; });
    std::vector<CanvasSpot> filled, hollow;
    for (const std::size_t i : bySize) {
        if (radius[i] <= 0.0f) continue;
        const ZoneSpot& s = data.spots[i];
        const CanvasSpot spot{static_cast<float>(cx + scale * s.u),
                              static_cast<float>(cy - scale * s.v), radius[i],
                              s.nearZone ? kTransparent : fg};
        (s.nearZone ? hollow : filled).push_back(spot);
    }
    canvas.circles(filled, options.filledSpots ? target.background : fg);
    canvas.circles(hollow, fg);
    // The origin: the undiffracted beam.
    canvas.circle(cx, cy, 3 * pixel, fg, fg);

    // Labels on the strongest spots of the section itself.
    std::vector<std::size_t> order(data.table.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    // Only the strongest few can be labelled: sort just enough of them.
    const std::size_t candidates =
        std::min(order.size(), static_cast<std::size_t>(std::max(64, 16 * data.labelled)));
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(candidates),
                      order.end(), [&](std::size_t a, std::size_t b) {
                          if (radius[a] != radius[b]) return radius[a] > radius[b];
                          if (data.table[a].qe() != data.table[b].qe())
                              return data.table[a].qe() < data.table[b].qe();
                          return a < b;
                      });
    order.resize(candidates);
    std::vector<QRectF> placed;
    // Each label goes beside its spot where it covers no spot and no label placed before;
    // a label with no such place is left out.
    // The spots a label must not cover: every one larger than a dot, and the origin.
    struct Disc {
        double x, y, r;
    };
    std::vector<Disc> discs;
    for (std::size_t i = 0; i < data.table.size(); ++i)
        if (radius[i] > 2.5 * pixel)
            discs.push_back({cx + scale * data.spots[i].u, cy - scale * data.spots[i].v,
                             static_cast<double>(radius[i])});
    discs.push_back({cx, cy, 3 * pixel});
    const QRectF inside(0, 0, target.width, target.height);
    const auto free = [&](const QRectF& box) {
        if (!inside.contains(box)) return false;
        const auto covers = [&box](const QRectF& other) { return other.intersects(box); };
        const auto onDisc = [&box](const Disc& d) {
            const double dx = d.x - std::clamp(d.x, box.left(), box.right());
            const double dy = d.y - std::clamp(d.y, box.top(), box.bottom());
            return dx * dx + dy * dy < d.r * d.r;
        };
        return std::none_of(placed.begin(), placed.end(), covers) &&
               std::none_of(discs.begin(), discs.end(), onDisc);
    };
    int labelled = 0;
    for (std::size_t i : order) {
        if (labelled >= data.labelled || radius[i] <= 0.0f) break;
        if (data.spots[i].nearZone) continue;
        const ZoneSpot& s = data.spots[i];
        const QString label = zoneIndexText(data.table[i], data.indexDimension);
        const double x = cx + scale * s.u, y = cy - scale * s.v, r = radius[i] + 2 * pixel;
        const double w = metrics.horizontalAdvance(label) * pixel, h = lineHeight;
        for (const QPointF corner : {QPointF(x + r, y - h / 2), QPointF(x - r - w, y - h / 2),
                                     QPointF(x - w / 2, y - r - h), QPointF(x - w / 2, y + r),
                                     QPointF(x + r, y + r), QPointF(x - r - w, y - r - h)}) {
            const QRectF box(corner, QSizeF(w, h));
            if (!free(box)) continue;
            placed.push_back(box);
            canvas.text(box.x(), box.y(), label, kZoneLabelColour, target.font, TextRole::Label);
            ++labelled;
            break;
        }
    }

    // Scale bar, bottom left: about a quarter of the pattern's radius.
    const bool film = data.cameraLength > 0.0 && data.wavelength > 0.0;
    const double perUnit = film ? 1.0 / (data.wavelength * data.cameraLength) : 0.1;  // 1/A
    const double length = roundBarLength(0.25 * extent / perUnit);
    const double barTwips = length * perUnit * scale;
    const double x0 = 10 * pixel, y = target.height - 10 * pixel - lineHeight;
    drawBar(canvas, x0, x0 + barTwips, y, pixel, fg);
    const QString text = film ? barText(length, " mm at L = ") +
                                    QString::number(data.cameraLength, 'g', 4) +
                                    QStringLiteral(" mm")
                              : barText(length, " nm\u207b\u00b9");
    canvas.text(x0, y + 3 * pixel, text, fg, target.font, TextRole::Label);
    return true;
}

}  // namespace tesral
