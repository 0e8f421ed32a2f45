#include "plots/plot_drawing.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "plots/parallel_parts.h"

namespace tesral {

namespace {

/** Where one row's spot goes; `record` stays null for a row that is not drawn. */
struct PlacedSpot {
    const ReflectionRecord* record = nullptr;
    float x = 0, y = 0, r = 0;  // twips
};

/** A fill no spot is drawn in (alpha 0): "the fill carried over from the spot before". */
constexpr QRgb kCarriedFill = 0x00123456u;

/** Rows are styled and placed in chunks, so the spots waiting to be drawn stay few. */
constexpr std::size_t kChunkRows = std::size_t{1} << 17;
constexpr std::size_t kRowsPerPart = std::size_t{1} << 14;
/**
 * From this many rows a canvas that can is given the spots nearest first: most of them then
 * lie behind pixels that are covered already. Fewer rows are painted farthest first.
 */
constexpr std::size_t kUnderRows = 500'000;

/**
 * Draws the spots of rows 0 .. count - 1 with the styling of one drawing; `place(i, spot)`
 * puts row i and returns false on a fault. Rows are styled on all cores, a chunk at a time,
 * and reach the canvas in row order: part 0 of a chunk starts from the fill carried over so
 * far, later parts from kCarriedFill, resolved once the part before is known. `label`,
 * when given, is called for every spot drawn, after it; the rows are then handled in one
 * part so that labels and spots keep their order. `dense`: every row is a spot, so that
 * from kUnderRows rows on a canvas that can takes them nearest first.
 */
template <typename Place>
bool drawSpots(std::size_t count, const PlotOptions& options, float greyFactor, SpotColours start,
               PlotCanvas& canvas, const Place& place, bool dense,
               const std::function<void(const PlacedSpot&)>& label = {}) {
    struct Part {
        std::vector<CanvasSpot> spots;
        QRgb lastFill = kCarriedFill;
        bool ok = true;
    };
    std::vector<Part> parts(static_cast<std::size_t>(partsFor(kChunkRows, kRowsPerPart)));
    // Nearest first, every spot must get its fill from its own row: no fill carries over.
    const bool mayCarry =
        options.highlightDirections &&
        !(options.filledSpots && (options.colourByTheta || options.colourByInverseQi));
    const bool under =
        dense && !label && !mayCarry && count >= kUnderRows && canvas.composesUnder();
    QRgb carried = start.fill;
    const std::size_t chunks = (count + kChunkRows - 1) / kChunkRows;
    for (std::size_t c = 0; c < chunks; ++c) {
        const std::size_t chunk = (under ? chunks - 1 - c : c) * kChunkRows;
        const std::size_t rows = std::min(kChunkRows, count - chunk);
        const int used =
            label ? 1 : std::min(partsFor(rows, kRowsPerPart), static_cast<int>(parts.size()));
        runParts(used, [&](int p) {
            Part& part = parts[static_cast<std::size_t>(p)];
            part.spots.clear();
            part.ok = true;
            SpotStyler styler(options, greyFactor,
                              {start.outline, under    ? start.fill
                                              : p == 0 ? carried
                                                       : kCarriedFill});
            const std::size_t first = chunk + rows * static_cast<std::size_t>(p) / used;
            const std::size_t end = chunk + rows * static_cast<std::size_t>(p + 1) / used;
            for (std::size_t i = first; i < end; ++i) {
                PlacedSpot spot;
                if (!place(i, spot)) {
                    part.ok = false;
                    break;
                }
                if (!spot.record) continue;
                const QRgb fill = styler.styleSpot(*spot.record);
                if (!std::isfinite(spot.x) || !std::isfinite(spot.y) || !std::isfinite(spot.r)) {
                    part.ok = false;
                    break;
                }
                part.spots.push_back({spot.x, spot.y, spot.r, fill});
                if (options.highlightMainSpots && spot.record->isMainSpot)
                    part.spots.push_back({spot.x, spot.y, spot.r, kMainSpotRed});
                if (label) {
                    canvas.circles(part.spots, styler.outline());
                    part.spots.clear();
                    label(spot);
                }
            }
            part.lastFill = styler.fill();
        });
        if (under) {
            for (int p = used - 1; p >= 0; --p) {
                if (!parts[static_cast<std::size_t>(p)].ok) return false;
                canvas.circlesUnder(parts[static_cast<std::size_t>(p)].spots, start.outline);
            }
            continue;
        }
        for (int p = 0; p < used; ++p) {
            Part& part = parts[static_cast<std::size_t>(p)];
            if (!part.ok) return false;
            // Only the spots before the part's first styled one carry the fill over.
            for (CanvasSpot& spot : part.spots)
                if (spot.fill == kCarriedFill) spot.fill = carried;
            if (part.lastFill != kCarriedFill) carried = part.lastFill;
            canvas.circles(part.spots, start.outline);
        }
    }
    if (under) canvas.endUnder();
    return true;
}

/** The qi that sizes a spot: a reflection with qi = 0 takes the smallest positive qi. */
float sizingQi(const ReflectionRecord& record, const TableStatistics& statistics) {
    return record.qi() == 0.0f ? statistics.minPositiveQi : record.qi();
}

/** The zero layer's rows (last index 0) by rising intensity; equal ones keep their order. */
std::vector<std::uint32_t> weakestFirst(std::span<const ReflectionRecord> table, int n) {
    std::vector<std::uint32_t> order;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].h(n - 1) == 0.0f) order.push_back(static_cast<std::uint32_t>(i));
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return table[a].v[kIntensity] < table[b].v[kIntensity];
    });
    return order;
}

/** The radius of a row's spot, twips; nothing when the row is too weak to be drawn. */
std::optional<float> rowSpotRadius(const ReflectionRecord& record, const PlotOptions& options,
                                   float factor, float zoom, float tpp,
                                   const TableStatistics& statistics) {
    if (options.sizeByIntensity)
        return intensitySpotRadius(options, factor, zoom, tpp, record.v[kIntensity]);
    return spotRadius(options.sizeByInverseQi, factor, zoom, tpp, sizingQi(record, statistics));
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
    const float factor = spotFactor(options);

    canvas.clear(target.background);
    const SpotColours start =
        startColours(options.filledSpots, target.background, target.foreground);
    const float labelMinimum =
        target.printed ? static_cast<float>(2.0 * target.twipsPerPixelX) : kLabelMinimumRadius;
    // Sized by intensity, the weak spots go first so that the strong ones cover them whole.
    const std::vector<std::uint32_t> order =
        options.sizeByIntensity ? weakestFirst(data.table, n) : std::vector<std::uint32_t>{};
    const auto place = [&](std::size_t i, PlacedSpot& spot) {
        const ReflectionRecord& record = data.table[options.sizeByIntensity ? order[i] : i];
        if (record.h(n - 1) != 0.0f) return true;
        const std::optional<float> r =
            rowSpotRadius(record, options, factor, zoom, tpp, data.statistics);
        if (!r) return true;
        spot.record = &record;
        spot.r = *r;
        spot.x = s * record.x() + cx;
        spot.y = s * record.y() + cy;  // not mirrored: positive y lies below
        return true;
    };
    std::function<void(const PlacedSpot&)> label;
    if (options.showIndices)
        label = [&](const PlacedSpot& spot) {
            if (spot.r > labelMinimum)
                canvas.text(spot.x, spot.y, indexLabel(*spot.record, n), kLabelBlue, target.font,
                            TextRole::Label);
        };
    // Only the zero layer is drawn: a small part of the rows.
    return drawSpots(options.sizeByIntensity ? order.size() : data.table.size(), options, *k, start,
                     canvas, place, false, label);
}

bool draw3D(const PlotData& data, const PlotOptions& options, const PlotTarget& target,
            PlotCanvas& canvas) {
    const std::size_t count = data.table.size();
    // All the rows, or a part of them while the plot turns.
    const std::size_t drawn = std::min(data.points.size(), count);
    if (drawn == 0 && count != 0) return false;
    constexpr std::size_t kReadAhead = 16;
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
    const float factor = spotFactor(options);

    canvas.clear(target.background);
    // Rows are in depth order, the farthest first, so nearer spots are painted over them.
    const auto place = [&](std::size_t i, PlacedSpot& spot) {
        // The table is read in the points' order: fetch rows a little ahead.
        if (i + kReadAhead < drawn) {
            const std::uint32_t ahead = data.points[i + kReadAhead].row;
            if (ahead < count) __builtin_prefetch(&data.table[ahead]);
        }
        const ProjectedPoint& point = data.points[i];
        if (point.row >= count) return false;
        const ReflectionRecord& record = data.table[point.row];
        const std::optional<float> r = rowSpotRadius(record, options, factor, zoom, tpp, st);
        if (!r) return true;
        spot.record = &record;
        spot.r = *r;
        spot.x = scale * point[1] + cx;
        spot.y = scale * point[2] + cy;
        return true;
    };
    if (!drawSpots(drawn, options, *k,
                   startColours(options.filledSpots, target.background, target.foreground), canvas,
                   place, true))
        return false;
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
