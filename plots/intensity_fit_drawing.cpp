#include "plots/intensity_fit_drawing.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

#include "plots/powder_drawing.h"

namespace tesral {

namespace {

bool drawable(const IntensityFitPoint& p) {
    return p.observed > 0.0 && p.calculated > 0.0 && std::isfinite(p.observed) &&
           std::isfinite(p.calculated);
}

QString decadeText(int k) {
    if (std::abs(k) <= 4) return QString::number(std::pow(10.0, k), 'g', 6);
    return QStringLiteral("1e%1").arg(k);
}

}  // namespace

double IntensityFitFrame::xOf(double intensity) const {
    return left + (std::log10(intensity) - low) / (high - low) * (right - left);
}

double IntensityFitFrame::yOf(double intensity) const {
    return bottom - (std::log10(intensity) - low) / (high - low) * (bottom - top);
}

IntensityFitFrame intensityFitFrame(const IntensityFitData& data, const PlotTarget& target) {
    const QFontMetricsF metrics(target.font);
    const double line = metrics.height() * target.twipsPerPixelY;
    const double digit = metrics.horizontalAdvance(QStringLiteral("0")) * target.twipsPerPixelX;
    IntensityFitFrame f;
    // A square frame: both axes span the same decades.
    const double left = 8.0 * digit + line, top = 1.5 * line;
    const double side =
        std::min(target.width - left - 2.0 * digit, target.height - top - 2.6 * line);
    f.left = left;
    f.top = top;
    f.right = left + side;
    f.bottom = top + side;
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (const IntensityFitPoint& p : data.points) {
        if (!drawable(p)) continue;
        lo = std::min({lo, p.observed, p.calculated});
        hi = std::max({hi, p.observed, p.calculated});
    }
    if (lo <= hi) {
        f.low = std::floor(std::log10(lo));
        f.high = std::ceil(std::log10(hi));
        if (f.high <= f.low) f.high = f.low + 1.0;
    }
    return f;
}

bool drawIntensityFit(const IntensityFitData& data, const PlotTarget& target, PlotCanvas& canvas) {
    canvas.clear(target.background);
    if (std::none_of(data.points.begin(), data.points.end(), drawable)) return false;
    const IntensityFitFrame f = intensityFitFrame(data, target);
    if (!(f.right > f.left) || !(f.bottom > f.top)) return false;
    const QRgb ink = target.foreground;
    const QFontMetricsF metrics(target.font);
    const double lineHeight = metrics.height() * target.twipsPerPixelY;
    const auto textWidth = [&](const QString& t) {
        return metrics.horizontalAdvance(t) * target.twipsPerPixelX;
    };
    const QPointF frame[] = {{f.left, f.top},
                             {f.right, f.top},
                             {f.right, f.bottom},
                             {f.left, f.bottom},
                             {f.left, f.top}};
    canvas.polyline(frame, ink);
    const double tick = 4.0 * target.twipsPerPixelY;
    for (int k = static_cast<int>(f.low); k <= static_cast<int>(f.high); ++k) {
        const double v = std::pow(10.0, k);
        const QString label = decadeText(k);
        const double x = f.xOf(v), y = f.yOf(v);
        const QPointF below[] = {{x, f.bottom}, {x, f.bottom + tick}};
        const QPointF beside[] = {{f.left - tick, y}, {f.left, y}};
        canvas.polyline(below, ink);
        canvas.polyline(beside, ink);
        canvas.text(x - textWidth(label) / 2.0, f.bottom + tick, label, ink, target.font,
                    TextRole::Label);
        canvas.text(f.left - tick - textWidth(label) - 2.0 * target.twipsPerPixelX,
                    y - lineHeight / 2.0, label, ink, target.font, TextRole::Label);
    }
    const QString xTitle = QStringLiteral("I obs");
    canvas.text((f.left + f.right - textWidth(xTitle)) / 2.0, f.bottom + tick + lineHeight, xTitle,
                ink, target.font, TextRole::Label);
    const QString yTitle = QStringLiteral("I calc");
    canvas.text(f.left - tick - textWidth(yTitle), f.top - 1.3 * lineHeight, yTitle, ink,
                target.font, TextRole::Label);
    // The figures of merit right-aligned above the frame, clear of the axis title.
    if (!data.title.isEmpty())
        canvas.text(
            std::max(f.left + textWidth(QStringLiteral("0000")), f.right - textWidth(data.title)),
            f.top - 1.3 * lineHeight, data.title, ink, target.font, TextRole::Label);

    const double lowest = std::pow(10.0, f.low), highest = std::pow(10.0, f.high);
    const QPointF diagonal[] = {{f.xOf(lowest), f.yOf(lowest)}, {f.xOf(highest), f.yOf(highest)}};
    canvas.polyline(diagonal, kTickColour);
    const double r = 2.5 * target.twipsPerPixelX;
    for (const IntensityFitPoint& p : data.points)
        if (drawable(p))
            canvas.circle(f.xOf(p.observed), f.yOf(p.calculated), r, kMeasuredColour,
                          kMeasuredColour);
    return true;
}

}  // namespace tesral
