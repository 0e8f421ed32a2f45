#include "plots/powder_drawing.h"

#include <QFontMetricsF>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace tesral {

namespace {

/** Intensity range of the frame: room for labels above 100, ticks (and the difference) below 0. */
struct Vertical {
    double low = -12.0;
    double high = 118.0;
    double tickTop = -2.0;
    double tickBottom = -9.0;
    double differenceZero = -24.0;
};

Vertical verticalFor(const PowderPlotData& data) {
    Vertical v;
    if (data.difference && !data.measuredTwoTheta.empty()) v.low = -40.0;
    return v;
}

double niceStep(double span, int wanted) {
    const double raw = span / wanted;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw) return m * power;
    return 10.0 * power;
}

/** A curve in frame coordinates, at most two points per pixel column. */
template <class XOf>
std::vector<QPointF> columnCurve(std::size_t count, XOf xAt, const std::vector<double>& values,
                                 double offset, const PowderFrame& f, double pixel,
                                 const auto& yOf) {
    std::vector<QPointF> points;
    // The points in view and one beyond each side, so the curve reaches the frame.
    std::size_t first = 0;
    while (first + 1 < count && xAt(first + 1) < f.low) ++first;
    std::size_t last = count;
    while (last > first + 1 && xAt(last - 2) > f.high) --last;
    const double columns = (f.right - f.left) / pixel;
    if (static_cast<double>(last - first) <= 2.0 * columns) {
        for (std::size_t i = first; i < last; ++i)
            points.emplace_back(f.xOf(xAt(i)), yOf(values[i] + offset));
        return points;
    }
    std::size_t i = first;
    while (i < last) {
        const double column = std::floor((f.xOf(xAt(i)) - f.left) / pixel);
        double lo = values[i], hi = values[i];
        const double firstValue = values[i];
        double lastValue = values[i];
        std::size_t k = i + 1;
        while (k < last && std::floor((f.xOf(xAt(k)) - f.left) / pixel) == column) {
            lo = std::min(lo, values[k]);
            hi = std::max(hi, values[k]);
            lastValue = values[k];
            ++k;
        }
        const double x = f.left + (column + 0.5) * pixel;
        // Rising columns go from their low to their high value, falling ones the other way.
        const bool rising = lastValue >= firstValue;
        points.emplace_back(x, yOf((rising ? lo : hi) + offset));
        if (hi > lo) points.emplace_back(x, yOf((rising ? hi : lo) + offset));
        i = k;
    }
    return points;
}

}  // namespace

PowderFrame powderFrame(const PowderPlotData& data, const PlotTarget& target) {
    const QFontMetricsF metrics(target.font);
    const double line = metrics.height() * target.twipsPerPixelY;
    const double digit = metrics.horizontalAdvance(QStringLiteral("0")) * target.twipsPerPixelX;
    PowderFrame f;
    f.left = 6.0 * digit + line;
    f.right = target.width - 2.0 * digit;
    f.top = line;
    f.bottom = target.height - 2.6 * line;
    const double end =
        data.start +
        data.step * static_cast<double>(data.profile.empty() ? 0 : data.profile.size() - 1);
    f.low = data.viewStart;
    f.high = data.viewStop;
    if (!(f.high > f.low)) {
        f.low = data.start;
        f.high = end;
    }
    return f;
}

std::vector<double> scaledTo(std::span<const double> values, double top) {
    std::vector<double> out(values.begin(), values.end());
    if (out.empty()) return out;
    const double high = *std::max_element(out.begin(), out.end());
    if (high > 0.0)
        for (double& v : out) v *= top / high;
    return out;
}

bool drawPowderPlot(const PowderPlotData& data, const PlotTarget& target, PlotCanvas& canvas) {
    canvas.clear(target.background);
    const PowderFrame f = powderFrame(data, target);
    if (data.profile.size() < 2 || !(f.right > f.left) || !(f.bottom > f.top) || !(f.high > f.low))
        return false;
    const Vertical v = verticalFor(data);
    const auto yOf = [&](double value) {
        const double clamped = std::clamp(value, v.low, v.high);
        return f.bottom - (clamped - v.low) / (v.high - v.low) * (f.bottom - f.top);
    };
    const QRgb ink = target.foreground;
    const QFontMetricsF metrics(target.font);
    const double lineHeight = metrics.height() * target.twipsPerPixelY;
    const auto textWidth = [&](const QString& t) {
        return metrics.horizontalAdvance(t) * target.twipsPerPixelX;
    };

    // Frame and axes.
    const QPointF frame[] = {{f.left, f.top},
                             {f.right, f.top},
                             {f.right, f.bottom},
                             {f.left, f.bottom},
                             {f.left, f.top}};
    canvas.polyline(frame, ink);
    const double tickLength = 4.0 * target.twipsPerPixelY;
    const double xStep = niceStep(f.high - f.low, 10);
    for (double t = std::ceil(f.low / xStep) * xStep; t <= f.high + 1e-9 * xStep; t += xStep) {
        const double x = f.xOf(t);
        const QPointF mark[] = {{x, f.bottom}, {x, f.bottom + tickLength}};
        canvas.polyline(mark, ink);
        const QString label = QString::number(t, 'g', 6);
        canvas.text(x - textWidth(label) / 2.0, f.bottom + tickLength, label, ink, target.font,
                    TextRole::Label);
    }
    const QString xTitle = QStringLiteral("2-theta (degrees)");
    canvas.text((f.left + f.right - textWidth(xTitle)) / 2.0, f.bottom + tickLength + lineHeight,
                xTitle, ink, target.font, TextRole::Label);
    for (int i = 0; i <= 100; i += 20) {
        const double y = yOf(i);
        const QPointF mark[] = {{f.left - tickLength, y}, {f.left, y}};
        canvas.polyline(mark, ink);
        const QString label = QString::number(i);
        canvas.text(f.left - tickLength - textWidth(label) - 2.0 * target.twipsPerPixelX,
                    y - lineHeight / 2.0, label, ink, target.font, TextRole::Label);
    }
    const QString yTitle = QStringLiteral("I");
    canvas.text(f.left - tickLength - textWidth(QStringLiteral("100")) - lineHeight,
                (f.top + f.bottom - lineHeight) / 2.0, yTitle, ink, target.font, TextRole::Label);

    const double pixel = target.twipsPerPixelX;
    // The lines as ticks, one per pixel column (its strongest line), longer for stronger
    // lines: full length from 1 % of the strongest line, a third of it below 0.1 per mille.
    double strongest = 0.0;
    for (const PowderTick& t : data.ticks) strongest = std::max(strongest, t.weight);
    const auto drawTick = [&](double column, double weight) {
        const double x = f.left + (column + 0.5) * pixel;
        const double share = strongest > 0.0 && weight > 0.0 ? weight / strongest : 1e-9;
        const double length = std::clamp(1.0 + (std::log10(share) + 2.0) / 3.0, 1.0 / 3.0, 1.0);
        const double bottom = v.tickTop + (v.tickBottom - v.tickTop) * length;
        const QPointF mark[] = {{x, yOf(v.tickTop)}, {x, yOf(bottom)}};
        canvas.polyline(mark, kTickColour);
    };
    double column = -1.0, columnWeight = -1.0;
    for (const PowderTick& t : data.ticks) {
        if (t.twoTheta < f.low || t.twoTheta > f.high) continue;
        const double c = std::floor((f.xOf(t.twoTheta) - f.left) / pixel);
        if (c != column) {
            if (column >= 0.0) drawTick(column, columnWeight);
            column = c;
            columnWeight = t.weight;
        } else {
            columnWeight = std::max(columnWeight, t.weight);
        }
    }
    if (column >= 0.0) drawTick(column, columnWeight);

    // The measured pattern under the calculated one, then the difference.
    const std::vector<double> profile(data.profile.begin(), data.profile.end());
    const auto gridX = [&](std::size_t i) {
        return data.start + data.step * static_cast<double>(i);
    };
    if (!data.measuredTwoTheta.empty()) {
        const std::vector<double> measured(data.measuredIntensity.begin(),
                                           data.measuredIntensity.end());
        const auto measuredX = [&](std::size_t i) { return data.measuredTwoTheta[i]; };
        const std::vector<QPointF> curve =
            columnCurve(measured.size(), measuredX, measured, 0.0, f, pixel, yOf);
        canvas.polyline(curve, kMeasuredColour);
        if (data.difference && data.hasFit()) {
            std::vector<double> difference(measured.size());
            for (std::size_t i = 0; i < measured.size(); ++i)
                difference[i] = measured[i] - data.fitted[i];
            const std::vector<QPointF> diff = columnCurve(difference.size(), measuredX, difference,
                                                          v.differenceZero, f, pixel, yOf);
            canvas.polyline(diff, kDifferenceColour);
        } else if (data.difference) {
            std::vector<double> difference(measured.size());
            for (std::size_t i = 0; i < measured.size(); ++i) {
                const double at = (data.measuredTwoTheta[i] - data.start) / data.step;
                const double k =
                    std::clamp(std::floor(at), 0.0, static_cast<double>(profile.size() - 2));
                const std::size_t j = static_cast<std::size_t>(k);
                const double frac = std::clamp(at - k, 0.0, 1.0);
                difference[i] = measured[i] - (profile[j] * (1.0 - frac) + profile[j + 1] * frac);
            }
            const std::vector<QPointF> diff = columnCurve(difference.size(), measuredX, difference,
                                                          v.differenceZero, f, pixel, yOf);
            canvas.polyline(diff, kDifferenceColour);
        }
    }
    if (!data.compared.empty()) {
        const std::vector<double> compared(data.compared.begin(), data.compared.end());
        canvas.polyline(columnCurve(compared.size(), gridX, compared, 0.0, f, pixel, yOf),
                        kComparedColour);
    }
    const std::vector<double> fitted(data.fitted.begin(), data.fitted.end());
    const auto fitX = [&](std::size_t i) { return data.measuredTwoTheta[i]; };
    const std::vector<QPointF> calculated =
        data.hasFit() ? columnCurve(fitted.size(), fitX, fitted, 0.0, f, pixel, yOf)
                      : columnCurve(profile.size(), gridX, profile, 0.0, f, pixel, yOf);
    canvas.polyline(calculated, ink);
    // The height of the drawn calculated curve about 2-theta, for the labels.
    const auto curveTop = [&](double twoTheta, double halfWidth) {
        double top = 0.0;
        if (data.hasFit()) {
            const auto& x = data.measuredTwoTheta;
            const auto at = std::lower_bound(x.begin(), x.end(), twoTheta) - x.begin();
            for (auto i = at - 3; i <= at + 3; ++i)
                if (i >= 0 && i < static_cast<long>(fitted.size()))
                    top = std::max(top, fitted[static_cast<std::size_t>(i)]);
            return top;
        }
        // With two curves, above both under the whole label, so that neither runs through it.
        const long centre = std::lround((twoTheta - data.start) / data.step);
        const long reach =
            data.compared.empty() ? 3L : std::max(3L, std::lround(halfWidth / data.step));
        for (long i = centre - reach; i <= centre + reach; ++i) {
            if (i >= 0 && i < static_cast<long>(profile.size()))
                top = std::max(top, profile[static_cast<std::size_t>(i)]);
            if (i >= 0 && i < static_cast<long>(data.compared.size()))
                top = std::max(top, data.compared[static_cast<std::size_t>(i)]);
        }
        return top;
    };

    // Labels on the strongest lines in view, where they do not cover one another.
    std::vector<std::size_t> order(data.ticks.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return data.ticks[a].weight > data.ticks[b].weight;
    });
    std::vector<QRectF> placed;
    if (!data.title.isEmpty()) {
        const QRectF title(f.left, 0.0, textWidth(data.title), lineHeight);
        canvas.text(title.left(), title.top(), data.title, ink, target.font, TextRole::Label);
        placed.push_back(title);
    }
    if (!data.compared.empty()) {
        // The legend in the frame's top right corner: a stroke of each colour and its name.
        const double stroke = 3.0 * textWidth(QStringLiteral("0"));
        const double gap = textWidth(QStringLiteral(" "));
        const std::pair<QString, QRgb> entries[] = {{data.name, ink},
                                                    {data.comparedName, kComparedColour}};
        double width = 0.0;
        for (const auto& e : entries) width = std::max(width, textWidth(e.first));
        const double left = f.right - gap - width - gap - stroke;
        double top = f.top + gap;
        for (const auto& [text, colour] : entries) {
            const QPointF mark[] = {{left, top + lineHeight / 2.0},
                                    {left + stroke, top + lineHeight / 2.0}};
            canvas.polyline(mark, colour);
            canvas.text(left + stroke + gap, top, text, ink, target.font, TextRole::Label);
            top += lineHeight;
        }
        placed.emplace_back(left, f.top, f.right - left, top - f.top);
    }
    int labelled = 0;
    for (const std::size_t k : order) {
        if (labelled >= data.labelCount) break;
        const PowderTick& t = data.ticks[k];
        if (t.twoTheta < f.low || t.twoTheta > f.high || t.label.isEmpty()) continue;
        const double width = textWidth(t.label);
        const double top =
            curveTop(t.twoTheta, width / 2.0 / (f.right - f.left) * (f.high - f.low));
        const QRectF box(f.xOf(t.twoTheta) - width / 2.0, yOf(top) - lineHeight - tickLength, width,
                         lineHeight);
        if (box.left() < f.left || box.right() > f.right || box.top() < f.top - lineHeight)
            continue;
        if (std::any_of(placed.begin(), placed.end(),
                        [&](const QRectF& r) { return r.intersects(box); }))
            continue;
        placed.push_back(box);
        canvas.text(box.left(), box.top(), t.label, ink, target.font, TextRole::Label);
        ++labelled;
    }
    return true;
}

}  // namespace tesral
