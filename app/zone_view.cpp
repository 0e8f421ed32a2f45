#include "app/zone_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <cmath>
#include <numbers>

#include "plots/image_canvas.h"
#include "plots/measured_overlay.h"
#include "plots/picture_settings.h"
#include "plots/spot_style.h"

namespace tesral {
namespace {

/** The pointer picks a spot within this many pixels of its centre. */
constexpr double kPickPixels = 6.0;

}  // namespace

ZonePatternView::ZonePatternView(QWidget* parent) : PictureView(parent, kBlack, kWhite) {
    setMouseTracking(true);
    setMinimumSize(200, 200);
    options_.sizeByInverseQi = true;
}

void ZonePatternView::showSection(const ZoneSection* section, const QString& title,
                                  double cameraLength) {
    section_ = section;
    title_ = title;
    message_.clear();
    cameraLength_ = cameraLength;
    // With a model's intensities the spot areas follow them.
    bool intensities = false;
    if (section)
        for (const ReflectionRecord& row : section->run.table)
            intensities = intensities || row.v[kIntensity] > 0.0f;
    options_.sizeByIntensity = intensities;
    options_.sizeByInverseQi = !intensities;
    redraw();
    emit pictureChanged();
}

void ZonePatternView::showMessage(const QString& text) {
    section_ = nullptr;
    message_ = text;
    picture_ = QImage();
    update();
    emit pictureChanged();
}

ZonePatternData ZonePatternView::data() const {
    ZonePatternData d;
    d.title = title_;
    if (!section_) return d;
    const RunResult& run = section_->run;
    d.table = run.table;
    d.spots = section_->spots;
    d.statistics = run.statistics;
    d.indexDimension = run.indexDimension;
    d.cameraLength = cameraLength_;
    d.wavelength = run.parameters.wavelength;
    return d;
}

PictureDrawing ZonePatternView::drawing() const {
    PictureDrawing d;
    if (overlay_) {
        // The photograph with the section over it, as the view shows it.
        d.draw = [data = overlay_->drawingData(data())](const PlotTarget& target,
                                                        PlotCanvas& canvas) {
            return drawMeasuredOverlay(data, target, canvas);
        };
        d.title = QStringLiteral("Tesral measured pattern");
        d.nothing = QStringLiteral("the photograph could not be drawn");
        return d;
    }
    d.draw = [data = data(), options = options_](const PlotTarget& target, PlotCanvas& canvas) {
        return drawZonePattern(data, options, target, canvas);
    };
    d.title = QStringLiteral("Tesral zone axis");
    d.nothing = QStringLiteral("the section could not be drawn");
    d.square = true;
    return d;
}

PlotTarget ZonePatternView::target() const {
    return pictureTarget(pictureSettings());
}

void ZonePatternView::redraw() {
    if (size().isEmpty() || !section_) {
        update();
        return;
    }
    QImage image = ImageCanvas::makeImage(size(), devicePixelRatioF());
    const PlotTarget t = target();
    ImageCanvas canvas(image, t.twipsPerPixelX);
    if (drawZonePattern(data(), options_, t, canvas)) picture_ = image;
    update();
}

void ZonePatternView::showMeasured(std::shared_ptr<const physics::DiffractionImage> image,
                                   QImage screen) {
    drag_.reset();
    overlay_ = std::make_unique<MeasuredOverlay>(std::move(image), std::move(screen));
    update();
}

void ZonePatternView::clearMeasured() {
    drag_.reset();
    overlay_.reset();
    update();
}

void ZonePatternView::setPlacement(const physics::PatternCalibration& placement) {
    if (!overlay_) return;
    overlay_->setPlacement(placement);
    update();
}

physics::PatternCalibration ZonePatternView::dragged(QPointF position) const {
    physics::PatternCalibration p = drag_->from;
    const QSizeF box = size();
    const QPointF centre = overlay_->toView({p.centreX, p.centreY}, box);
    const QPointF a = drag_->start - centre, b = position - centre;
    switch (drag_->mode) {
        case Drag::Move: {
            const QPointF shift = (position - drag_->start) / overlay_->viewScale(box);
            p.centreX += shift.x();
            p.centreY += shift.y();
            break;
        }
        case Drag::Rotate:
            // Counter-clockwise on the screen, where y runs down.
            if (std::hypot(a.x(), a.y()) > 2.0 && std::hypot(b.x(), b.y()) > 2.0)
                p.rotation += (std::atan2(-b.y(), b.x()) - std::atan2(-a.y(), a.x())) * 180.0 /
                              std::numbers::pi;
            p.rotation = std::remainder(p.rotation, 360.0);
            break;
        case Drag::Scale: {
            const double from = std::hypot(a.x(), a.y()), to = std::hypot(b.x(), b.y());
            if (from > 2.0 && to > 0.0) p.scale *= to / from;
            break;
        }
    }
    return p;
}

void ZonePatternView::mousePressEvent(QMouseEvent* event) {
    if (!overlay_ || event->button() != Qt::LeftButton) {
        PictureView::mousePressEvent(event);
        return;
    }
    Drag drag;
    drag.start = event->position();
    drag.from = overlay_->placement();
    if (event->modifiers() & Qt::ShiftModifier)
        drag.mode = Drag::Rotate;
    else if (event->modifiers() & Qt::ControlModifier)
        drag.mode = Drag::Scale;
    drag_ = drag;
}

void ZonePatternView::mouseReleaseEvent(QMouseEvent* event) {
    if (drag_ && event->button() == Qt::LeftButton) {
        overlay_->setPlacement(dragged(event->position()));
        drag_.reset();
        update();
        emit placementChanged(overlay_->placement());
        return;
    }
    PictureView::mouseReleaseEvent(event);
}

QString ZonePatternView::spotLabelAt(QPointF position) const {
    if (overlay_) return section_ ? overlay_->spotTextAt(position, size(), data()) : QString();
    if (!section_) return {};
    const ZonePatternData d = data();
    const PlotTarget t = target();
    const ZoneLayout layout = zoneLayout(d, options_, t);
    if (!(layout.scale > 0.0)) return {};
    const double px = position.x() * t.twipsPerPixelX, py = position.y() * t.twipsPerPixelY;
    double best = kPickPixels * t.twipsPerPixelX;
    QString label;
    for (std::size_t i = 0; i < d.spots.size(); ++i) {
        const double distance =
            std::hypot(layout.x(d.spots[i].u) - px, layout.y(d.spots[i].v) - py);
        if (distance < best) {
            best = distance;
            label = zoneIndexText(d.table[i], d.indexDimension);
            if (d.spots[i].nearZone) label += QStringLiteral(" (near zone)");
        }
    }
    return label;
}

void ZonePatternView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (overlay_) {
        overlay_->paint(painter, size(), data(), backgroundColour());
        return;
    }
    if (section_ && !picture_.isNull()) {
        painter.drawImage(rect(), picture_);
        return;
    }
    painter.fillRect(rect(), QColor::fromRgb(backgroundColour()));
    painter.setPen(QColor::fromRgb(foregroundColour()));
    painter.setFont(defaultPlotFont());
    painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, message_);
}

void ZonePatternView::resizeEvent(QResizeEvent*) {
    redraw();
}

void ZonePatternView::mouseMoveEvent(QMouseEvent* event) {
    if (drag_) {
        // The overlay follows the drag live.
        overlay_->setPlacement(dragged(event->position()));
        update();
        emit placementChanged(overlay_->placement());
        return;
    }
    const QString label = spotLabelAt(event->position());
    if (label.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), label, this);
}

}  // namespace tesral
