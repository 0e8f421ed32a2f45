#include "plots/structure_drawing.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <map>

namespace tesral {

namespace {

std::array<std::array<double, 3>, 2> planeAxes(std::array<double, 3> n) {
    const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (double& c : n) c /= len;
    // The first plane axis is the world axis least along n, made perpendicular to it.
    std::array<double, 3> a{0, 0, 0};
    int k = 0;
    for (int i = 1; i < 3; ++i)
        if (std::abs(n[i]) < std::abs(n[k])) k = i;
    a[k] = 1;
    const double d = a[0] * n[0] + a[1] * n[1] + a[2] * n[2];
    for (int i = 0; i < 3; ++i) a[i] -= d * n[i];
    const double al = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    for (double& c : a) c /= al;
    const std::array<double, 3> b{n[1] * a[2] - n[2] * a[1], n[2] * a[0] - n[0] * a[2],
                                  n[0] * a[1] - n[1] * a[0]};
    return {a, b};
}

double dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

/** A length of 1, 2 or 5 times a power of ten near a fifth of `span`. */
double niceLength(double span) {
    const double raw = span / 5.0;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * p >= raw) return m * p;
    return 10.0 * p;
}

}  // namespace

QRgb elementColour(const QString& element) {
    static const std::map<QString, QRgb> known{
        {QStringLiteral("Al"), qRgb(170, 170, 190)}, {QStringLiteral("Mn"), qRgb(160, 60, 200)},
        {QStringLiteral("Ni"), qRgb(40, 180, 80)},   {QStringLiteral("Co"), qRgb(60, 90, 230)},
        {QStringLiteral("Cu"), qRgb(220, 120, 40)},  {QStringLiteral("Fe"), qRgb(200, 50, 40)},
        {QStringLiteral("Pd"), qRgb(0, 160, 170)},   {QStringLiteral("Zn"), qRgb(120, 130, 200)},
        {QStringLiteral("Mg"), qRgb(140, 220, 60)},  {QStringLiteral("Cd"), qRgb(230, 200, 40)},
        {QStringLiteral("Yb"), qRgb(40, 200, 200)},  {QStringLiteral("Ti"), qRgb(190, 190, 60)},
        {QStringLiteral("Zr"), qRgb(130, 200, 220)}, {QStringLiteral("Sc"), qRgb(230, 130, 170)},
        {QStringLiteral("Ho"), qRgb(100, 230, 170)}, {QStringLiteral("Si"), qRgb(240, 200, 160)},
        {QStringLiteral("Li"), qRgb(200, 120, 255)}, {QStringLiteral("Ga"), qRgb(200, 140, 140)},
    };
    if (auto it = known.find(element); it != known.end()) return it->second;
    // Elements outside the table still get a fixed colour, from their symbol.
    const size_t h = qHash(element);
    return qRgb(80 + int(h % 160), 80 + int((h / 160) % 160), 80 + int((h / 25600) % 160));
}

std::vector<SlabPoint> slabPoints(const StructureDrawingData& data) {
    const auto [a, b] = planeAxes(data.axis);
    std::array<double, 3> n = data.axis;
    const double len = std::sqrt(dot(n, n));
    for (double& c : n) c /= len;
    std::vector<SlabPoint> out;
    for (const StructureDrawingAtom& atom : data.atoms) {
        if (std::abs(dot(atom.position, n) - data.height) > 0.5 * data.thickness) continue;
        out.push_back(
            {dot(atom.position, a), dot(atom.position, b), dot(atom.position, n), atom.site});
    }
    return out;
}

namespace {

/**
 * The pairs of `members` (indices into `points`) closer than `reach` in space, with their
 * distances: a grid of cells `reach` wide in the plane, so each point meets only the points
 * of its own and the eight cells around.
 */
std::vector<std::pair<std::array<int, 2>, double>> pairsWithin(std::span<const SlabPoint> points,
                                                               const std::vector<int>& members,
                                                               double reach) {
    std::map<std::pair<long, long>, std::vector<int>> cells;
    const auto cellOf = [reach](const SlabPoint& p) {
        return std::pair{long(std::floor(p.u / reach)), long(std::floor(p.v / reach))};
    };
    for (int i : members) cells[cellOf(points[size_t(i)])].push_back(i);
    std::vector<std::pair<std::array<int, 2>, double>> pairs;
    for (int i : members) {
        const auto [cu, cv] = cellOf(points[size_t(i)]);
        for (long du = -1; du <= 1; ++du)
            for (long dv = -1; dv <= 1; ++dv) {
                const auto it = cells.find({cu + du, cv + dv});
                if (it == cells.end()) continue;
                for (int j : it->second) {
                    if (j <= i) continue;
                    const SlabPoint &a = points[size_t(i)], &b = points[size_t(j)];
                    const double d = std::hypot(a.u - b.u, a.v - b.v, a.w - b.w);
                    if (d > 1e-6 && d < reach) pairs.push_back({{i, j}, d});
                }
            }
    }
    return pairs;
}

}  // namespace

std::vector<std::array<int, 2>> tileEdges(std::span<const SlabPoint> points, double tilingEdge,
                                          const std::vector<bool>& tilingSites) {
    const auto inTiling = [&](int site) {
        return tilingEdge > 0 && site >= 0 && size_t(site) < tilingSites.size() &&
               tilingSites[size_t(site)];
    };
    std::vector<int> tiling;
    std::map<int, std::vector<int>> bySite;
    for (size_t i = 0; i < points.size(); ++i) {
        if (inTiling(points[i].site))
            tiling.push_back(int(i));
        else
            bySite[points[i].site].push_back(int(i));
    }
    std::vector<std::array<int, 2>> edges;
    for (const auto& [pair, d] : pairsWithin(points, tiling, 1.02 * tilingEdge))
        if (std::abs(d - tilingEdge) <= 0.01 * tilingEdge) edges.push_back(pair);
    // Sites that turn out not to be the tiling's vertices are joined as the others are.
    if (edges.empty())
        for (int i : tiling) bySite[points[size_t(i)].site].push_back(i);
    for (const auto& [site, members] : bySite) {
        if (members.size() < 2) continue;
        double low[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, high[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
        for (int i : members) {
            const SlabPoint& p = points[size_t(i)];
            const double x[3] = {p.u, p.v, p.w};
            for (int c = 0; c < 3; ++c)
                low[c] = std::min(low[c], x[c]), high[c] = std::max(high[c], x[c]);
        }
        // Start at twice the mean spacing and widen until some pair is found; a pair closer
        // than the reach is always found, so the shortest one is exact once any is.
        const double diagonal = std::hypot(high[0] - low[0], high[1] - low[1], high[2] - low[2]);
        if (diagonal <= 1e-6) continue;
        double reach = std::max(
            2.0 * std::sqrt((high[0] - low[0]) * (high[1] - low[1]) / double(members.size())),
            1e-3 * diagonal);
        std::vector<std::pair<std::array<int, 2>, double>> pairs;
        for (;; reach *= 2.0) {
            pairs = pairsWithin(points, members, reach);
            if (!pairs.empty() || reach > 2.0 * diagonal) break;
        }
        if (pairs.empty()) continue;
        double shortest = HUGE_VAL;
        for (const auto& pair : pairs) shortest = std::min(shortest, pair.second);
        if (1.01 * shortest >= reach) pairs = pairsWithin(points, members, 1.02 * shortest);
        for (const auto& [pair, d] : pairs)
            if (d <= 1.01 * shortest) edges.push_back(pair);
    }
    return edges;
}

double slabScale(double half, const PlotTarget& target) {
    return 0.9 * std::min(target.width, target.height) / (2.0 * std::max(half, 1.0));
}

bool drawStructure(const StructureDrawingData& data, const PlotTarget& target, PlotCanvas& canvas) {
    canvas.clear(target.background);
    const std::vector<SlabPoint> points = slabPoints(data);
    if (points.empty()) return false;
    double half = data.halfWidth;
    if (half <= 0)
        for (const SlabPoint& p : points) half = std::max({half, std::abs(p.u), std::abs(p.v)});
    half = std::max(half, 1.0);
    const double scale = slabScale(half, target);
    const double cx = 0.5 * target.width, cy = 0.5 * target.height;
    // Plain names, not a structured binding: the lambdas below capture them (C++20 does not).
    const double cu = data.centre[0], cv = data.centre[1];
    const auto at = [&](const SlabPoint& p) {
        return QPointF(cx + (p.u - cu) * scale, cy - (p.v - cv) * scale);
    };
    // Atoms within the picture, a disc's radius beyond its edge included.
    const auto shown = [&](const SlabPoint& p) {
        return std::abs(p.u - cu) <= cx / scale + 0.5 && std::abs(p.v - cv) <= cy / scale + 0.5;
    };
    const auto elementOf = [&data](const SlabPoint& p) {
        return p.site < int(data.siteElements.size()) ? data.siteElements[size_t(p.site)]
                                                      : QString();
    };
    std::vector<QString> present;
    for (const SlabPoint& p : points)
        if (shown(p) && std::find(present.begin(), present.end(), elementOf(p)) == present.end())
            present.push_back(elementOf(p));

    // The legend at the top left, one line per element shown, and the scale bar at the bottom
    // left keep their boxes clear of atoms.
    const QFontMetricsF fm(target.font);
    const double line = fm.height() * target.twipsPerPixelY;
    double widest = 0.0;
    for (const QString& element : present)
        widest = std::max(widest, fm.horizontalAdvance(element) * target.twipsPerPixelX);
    const QRectF legendBox(0, 0, 1.8 * line + widest, (double(present.size()) + 1.0) * line);
    const double bar = niceLength(2.0 * half);
    const double by = target.height - 1.5 * line, bx = 0.5 * line;
    const QString barText = QStringLiteral("%1 \u00c5").arg(bar);
    const double barWidth =
        std::max(bar * scale, fm.horizontalAdvance(barText) * target.twipsPerPixelX);
    const QRectF barBox(0, by - 1.3 * line, bx + barWidth + 0.5 * line, target.height);
    const double r = std::max(0.5 * scale, 2.0 * target.twipsPerPixelX);  // a 0.5 A disc
    const auto clear = [&](const SlabPoint& p) {
        const QPointF c = at(p);
        return shown(p) && !legendBox.adjusted(-r, -r, r, r).contains(c) &&
               !barBox.adjusted(-r, -r, r, r).contains(c);
    };

    if (data.edges)
        for (const auto& [i, j] : tileEdges(points, data.tilingEdge, data.tilingSites)) {
            const SlabPoint &a = points[size_t(i)], &b = points[size_t(j)];
            // None to an atom under a box, none wholly outside the picture.
            const bool covered = (shown(a) && !clear(a)) || (shown(b) && !clear(b));
            if (covered || (!shown(a) && !shown(b))) continue;
            const std::array<QPointF, 2> seg{at(a), at(b)};
            canvas.polyline(seg, target.foreground);
        }
    std::vector<CanvasSpot> spots;
    spots.reserve(points.size());
    for (const SlabPoint& p : points) {
        if (!clear(p)) continue;
        const QPointF c = at(p);
        spots.push_back({float(c.x()), float(c.y()), float(r), elementColour(elementOf(p))});
    }
    canvas.circles(spots, target.background);

    double y = 0.5 * line;
    for (const QString& element : present) {
        canvas.circle(0.7 * line, y + 0.5 * line, 0.3 * line, target.background,
                      elementColour(element));
        canvas.text(1.3 * line, y, element, target.foreground, target.font, TextRole::Legend);
        y += line;
    }
    const std::array<QPointF, 2> barLine{QPointF(bx, by), QPointF(bx + bar * scale, by)};
    canvas.polyline(barLine, target.foreground);
    canvas.text(bx, by - 1.1 * line, barText, target.foreground, target.font, TextRole::Legend);
    return true;
}

}  // namespace tesral
