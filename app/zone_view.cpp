#include "app/zone_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <cmath>

#include "plots/image_canvas.h"
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

QString ZonePatternView::spotLabelAt(QPointF position) const {
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
    const QString label = spotLabelAt(event->position());
    if (label.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), label, this);
}

}  // namespace tesral
