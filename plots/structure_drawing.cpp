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
        out.push_back({dot(atom.position, a), dot(atom.position, b), atom.site});
    }
    return out;
}

std::vector<std::array<int, 2>> tileEdges(std::span<const SlabPoint> points) {
    std::map<int, double> shortest;
    const auto dist2 = [&](size_t i, size_t j) {
        const double du = points[i].u - points[j].u, dv = points[i].v - points[j].v;
        return du * du + dv * dv;
    };
    for (size_t i = 0; i < points.size(); ++i)
        for (size_t j = i + 1; j < points.size(); ++j) {
            if (points[i].site != points[j].site) continue;
            const double d = dist2(i, j);
            if (d <= 1e-12) continue;
            auto [it, fresh] = shortest.try_emplace(points[i].site, d);
            if (!fresh) it->second = std::min(it->second, d);
        }
    std::vector<std::array<int, 2>> edges;
    for (size_t i = 0; i < points.size(); ++i)
        for (size_t j = i + 1; j < points.size(); ++j) {
            if (points[i].site != points[j].site) continue;
            const double e = std::sqrt(shortest[points[i].site]);
            const double d = std::sqrt(dist2(i, j));
            if (d > 1e-6 && std::abs(d - e) <= 0.01 * e) edges.push_back({int(i), int(j)});
        }
    return edges;
}

bool drawStructure(const StructureDrawingData& data, const PlotTarget& target, PlotCanvas& canvas) {
    canvas.clear(target.background);
    const std::vector<SlabPoint> points = slabPoints(data);
    if (points.empty()) return false;
    double half = data.halfWidth;
    if (half <= 0)
        for (const SlabPoint& p : points) half = std::max({half, std::abs(p.u), std::abs(p.v)});
    half = std::max(half, 1.0);
    const double side = 0.9 * std::min(target.width, target.height);
    const double scale = side / (2.0 * half);  // twips per angstrom
    const double cx = 0.5 * target.width, cy = 0.5 * target.height;
    const auto at = [&](const SlabPoint& p) { return QPointF(cx + p.u * scale, cy - p.v * scale); };

    if (data.edges)
        for (const auto& [i, j] : tileEdges(points)) {
            const std::array<QPointF, 2> seg{at(points[i]), at(points[j])};
            canvas.polyline(seg, target.foreground);
        }
    const double r = std::max(0.5 * scale, 2.0 * target.twipsPerPixelX);  // a 0.5 A disc
    std::vector<CanvasSpot> spots;
    spots.reserve(points.size());
    std::vector<QString> present;
    for (const SlabPoint& p : points) {
        if (std::abs(p.u) > half || std::abs(p.v) > half) continue;
        const QString element =
            p.site < int(data.siteElements.size()) ? data.siteElements[size_t(p.site)] : QString();
        if (std::find(present.begin(), present.end(), element) == present.end())
            present.push_back(element);
        const QPointF c = at(p);
        spots.push_back({float(c.x()), float(c.y()), float(r), elementColour(element)});
    }
    canvas.circles(spots, target.background);

    // Legend at the top left, one line per element shown.
    const QFontMetricsF fm(target.font);
    const double line = fm.height() * target.twipsPerPixelY;
    double y = 0.5 * line;
    for (const QString& element : present) {
        canvas.circle(0.7 * line, y + 0.5 * line, 0.3 * line, target.background,
                      elementColour(element));
        canvas.text(1.3 * line, y, element, target.foreground, target.font, TextRole::Legend);
        y += line;
    }
    // Scale bar at the bottom left.
    const double bar = niceLength(2.0 * half);
    const double by = target.height - 1.5 * line, bx = 0.5 * line;
    const std::array<QPointF, 2> barLine{QPointF(bx, by), QPointF(bx + bar * scale, by)};
    canvas.polyline(barLine, target.foreground);
    canvas.text(bx, by - 1.1 * line, QStringLiteral("%1 \u00c5").arg(bar), target.foreground,
                target.font, TextRole::Legend);
    return true;
}

}  // namespace tesral
