#include "app/measured_overlay.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "plots/picture_settings.h"

namespace tesral {
namespace {

/** The pointer picks a spot within this many view pixels of its centre. */
constexpr double kPickPixels = 6.0;
/** The measured spots' crosses: light blue, apart from the circles' green and orange. */
constexpr QRgb kMeasuredColour = 0xff38c8ffu;

bool hasIntensities(const ZonePatternData& data) {
    return std::any_of(data.table.begin(), data.table.end(),
                       [](const ReflectionRecord& row) { return row.v[kIntensity] > 0.0f; });
}

}  // namespace

std::optional<QPointF> imagePoint(const physics::PatternCalibration& c, double u, double v) {
    if (!(c.scale > 0.0) || !std::isfinite(c.scale)) return std::nullopt;
    const auto [x, y] = c.pixelOf(u, v);
    return QPointF(x, y);
}

std::vector<std::size_t> overlayRows(const ZonePatternData& data) {
    std::vector<std::size_t> rows;
    if (data.spots.size() != data.table.size()) return rows;
    const bool intensities = hasIntensities(data);
    // The rows the fit matches against: as strong as the zone view's threshold (percent).
    const auto threshold = static_cast<float>(physics::PatternFitOptions{}.threshold);
    for (std::size_t i = 0; i < data.table.size(); ++i)
        if (!data.spots[i].nearZone && (!intensities || data.table[i].v[kIntensity] >= threshold))
            rows.push_back(i);
    // Strongest first: by intensity, or without one by qi (the small-qi spots are strong).
    std::stable_sort(rows.begin(), rows.end(), [&](std::size_t a, std::size_t b) {
        const ReflectionRecord &ra = data.table[a], &rb = data.table[b];
        if (intensities && ra.v[kIntensity] != rb.v[kIntensity])
            return ra.v[kIntensity] > rb.v[kIntensity];
        if (!intensities && ra.qi() != rb.qi()) return ra.qi() < rb.qi();
        return ra.qe() < rb.qe();
    });
    return rows;
}

MeasuredOverlay::MeasuredOverlay(std::shared_ptr<const physics::DiffractionImage> image,
                                 QImage screen)
    : image_(std::move(image)), screen_(std::move(screen)) {
    // Before a fit: the beam in the middle, the section filling a third of the shorter side.
    placement_.centreX = (image_->width - 1) / 2.0;
    placement_.centreY = (image_->height - 1) / 2.0;
}

double MeasuredOverlay::viewScale(QSizeF size) const {
    if (image_->width <= 0 || image_->height <= 0) return 1.0;
    return std::min(size.width() / image_->width, size.height() / image_->height);
}

QRectF MeasuredOverlay::imageRect(QSizeF size) const {
    const double s = viewScale(size);
    const QSizeF shown(s * image_->width, s * image_->height);
    return {QPointF((size.width() - shown.width()) / 2.0, (size.height() - shown.height()) / 2.0),
            shown};
}

QPointF MeasuredOverlay::toView(QPointF image, QSizeF size) const {
    const QRectF r = imageRect(size);
    const double s = viewScale(size);
    return r.topLeft() + s * (image + QPointF(0.5, 0.5));
}

void MeasuredOverlay::paint(QPainter& painter, QSizeF size, const ZonePatternData& data,
                            QRgb background) const {
    painter.fillRect(QRectF(QPointF(0, 0), size), QColor::fromRgb(background));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF shown = imageRect(size);
    painter.drawImage(shown, screen_);
    painter.save();
    painter.setClipRect(shown);

    painter.setPen(QPen(QColor::fromRgb(kMeasuredColour), 1.0));
    for (const physics::MeasuredSpot& spot : spots_) {
        const QPointF p = toView({spot.x, spot.y}, size);
        painter.drawLine(p - QPointF(3, 0), p + QPointF(3, 0));
        painter.drawLine(p - QPointF(0, 3), p + QPointF(0, 3));
    }
    if (imagePoint(placement_, 0, 0)) {
        const std::vector<std::size_t> rows = overlayRows(data);
        painter.setBrush(Qt::NoBrush);
        // The circles shrink with the photograph, so that neighbours stay apart.
        const double radius = std::clamp(8.0 * viewScale(size), 3.0, 7.0);
        for (const std::size_t i : rows) {
            const QPointF p =
                toView(*imagePoint(placement_, data.spots[i].u, data.spots[i].v), size);
            if (!shown.adjusted(-8, -8, 8, 8).contains(p)) continue;
            painter.setPen(
                QPen(QColor::fromRgb(matched(i) ? kMatchedSpotColour : kUnmatchedSpotColour), 1.2));
            painter.drawEllipse(p, radius, radius);
        }
        painter.setPen(QPen(QColor::fromRgb(kUnmatchedSpotColour), 1.2));
        // The direct beam's place.
        const QPointF c = toView({placement_.centreX, placement_.centreY}, size);
        painter.drawLine(c - QPointF(8, 0), c + QPointF(8, 0));
        painter.drawLine(c - QPointF(0, 8), c + QPointF(0, 8));
        painter.setPen(QColor::fromRgb(kZoneLabelColour));
        painter.setFont(defaultPlotFont());
        int labelled = 0;
        for (const std::size_t i : rows) {
            if (labelled >= data.labelled) break;
            const QPointF p =
                toView(*imagePoint(placement_, data.spots[i].u, data.spots[i].v), size);
            if (!shown.contains(p)) continue;
            painter.drawText(p + QPointF(8, -4), zoneIndexText(data.table[i], data.indexDimension));
            ++labelled;
        }
    }
    painter.restore();
}

bool MeasuredOverlay::matched(std::size_t row) const {
    return std::any_of(matches_.begin(), matches_.end(),
                       [row](const physics::SpotMatch& m) { return m.row == row; });
}

MeasuredOverlayData MeasuredOverlay::drawingData(const ZonePatternData& data) const {
    MeasuredOverlayData d;
    d.image = screen_;
    d.centreX = placement_.centreX;
    d.centreY = placement_.centreY;
    d.title = data.title;
    if (!imagePoint(placement_, 0, 0)) return d;
    int labelled = 0;
    for (const std::size_t i : overlayRows(data)) {
        const QPointF p = *imagePoint(placement_, data.spots[i].u, data.spots[i].v);
        if (p.x() < -0.5 || p.y() < -0.5 || p.x() > image_->width - 0.5 ||
            p.y() > image_->height - 0.5)
            continue;
        OverlaySpot spot{p.x(), p.y(), matched(i), {}};
        if (labelled < data.labelled) {
            spot.label = zoneIndexText(data.table[i], data.indexDimension);
            ++labelled;
        }
        d.spots.push_back(std::move(spot));
    }
    return d;
}

QString MeasuredOverlay::spotTextAt(QPointF position, QSizeF size,
                                    const ZonePatternData& data) const {
    if (!imagePoint(placement_, 0, 0)) return {};
    double best = kPickPixels;
    std::optional<std::size_t> found;
    for (const std::size_t i : overlayRows(data)) {
        const QPointF p = toView(*imagePoint(placement_, data.spots[i].u, data.spots[i].v), size);
        const double d = std::hypot(p.x() - position.x(), p.y() - position.y());
        if (d < best) {
            best = d;
            found = i;
        }
    }
    if (!found) return {};
    QString text = zoneIndexText(data.table[*found], data.indexDimension);
    const auto match = std::find_if(matches_.begin(), matches_.end(),
                                    [&](const physics::SpotMatch& m) { return m.row == *found; });
    if (match == matches_.end()) return text + QStringLiteral(": no measured spot matched");
    return text + QStringLiteral(": %1 px from its measured spot").arg(match->distance, 0, 'f', 2);
}

}  // namespace tesral
