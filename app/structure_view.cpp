#include "app/structure_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "plots/image_canvas.h"
#include "plots/picture_settings.h"

namespace tesral {
namespace {

/** The zoom of one wheel notch or key press, and its bounds. */
constexpr double kWheelZoom = 1.25;
constexpr double kLeastZoom = 0.25;
constexpr double kMostZoom = 64.0;

}  // namespace

StructureView::StructureView(QWidget* parent) : PictureView(parent) {
    setMinimumSize(200, 200);
    setFocusPolicy(Qt::WheelFocus);
}

void StructureView::showSlab(std::shared_ptr<const StructureSlab> slab) {
    slab_ = std::move(slab);
    message_.clear();
    redraw();
    emit pictureChanged();
}

void StructureView::showMessage(const QString& text) {
    slab_.reset();
    message_ = text;
    picture_ = QImage();
    update();
    emit pictureChanged();
}

void StructureView::setEdges(bool edges) {
    if (edges == edges_) return;
    edges_ = edges;
    redraw();
}

void StructureView::setZoom(double zoom) {
    zoom = std::clamp(zoom, kLeastZoom, kMostZoom);
    if (zoom == zoom_) return;
    zoom_ = zoom;
    redraw();
}

StructureDrawingData StructureView::data() const {
    StructureDrawingData d;
    if (!slab_) return d;
    d.atoms = slab_->atoms;
    d.siteElements = slab_->siteElements;
    d.axis = slab_->axis;
    d.height = slab_->height;
    d.thickness = slab_->thickness;
    d.halfWidth = slab_->radius / zoom_;
    d.centre = centre_;
    d.edges = edges_;
    d.tilingEdge = slab_->tilingEdge;
    d.tilingSites = slab_->tilingSites;
    return d;
}

PictureDrawing StructureView::drawing() const {
    PictureDrawing d;
    // The drawing keeps the slab alive: a file or the printer may draw it after a new one shows.
    d.draw = [slab = slab_, data = data()](const PlotTarget& target, PlotCanvas& canvas) {
        return drawStructure(data, target, canvas);
    };
    d.title = slab_ ? QStringLiteral("Tesral structure, ") + slab_->title
                    : QStringLiteral("Tesral structure");
    d.nothing = QStringLiteral("the slab holds no atom");
    d.square = true;
    return d;
}

void StructureView::redraw() {
    if (size().isEmpty() || !slab_) {
        update();
        return;
    }
    QImage image = ImageCanvas::makeImage(size(), devicePixelRatioF());
    const PlotTarget t = pictureTarget(pictureSettings());
    ImageCanvas canvas(image, t.twipsPerPixelX);
    picture_ = drawStructure(data(), t, canvas) ? image : QImage();
    update();
}

void StructureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (slab_ && !picture_.isNull()) {
        painter.drawImage(rect(), picture_);
        return;
    }
    painter.fillRect(rect(), QColor::fromRgb(backgroundColour()));
    painter.setPen(QColor::fromRgb(foregroundColour()));
    painter.setFont(defaultPlotFont());
    const QString text = slab_ ? drawing().nothing : message_;
    painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, text);
}

void StructureView::resizeEvent(QResizeEvent*) {
    redraw();
}

void StructureView::wheelEvent(QWheelEvent* event) {
    setZoom(zoom_ * std::pow(kWheelZoom, event->angleDelta().y() / 120.0));
    event->accept();
}

void StructureView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            setZoom(zoom_ * kWheelZoom);
            break;
        case Qt::Key_Minus:
            setZoom(zoom_ / kWheelZoom);
            break;
        case Qt::Key_0:
            showWhole();
            break;
        default:
            PictureView::keyPressEvent(event);
            return;
    }
    event->accept();
}

void StructureView::showWhole() {
    centre_ = {0.0, 0.0};
    zoom_ = 1.0;
    redraw();
}

void StructureView::mousePressEvent(QMouseEvent* event) {
    dragFrom_ = event->position();
}

void StructureView::mouseMoveEvent(QMouseEvent* event) {
    if (!slab_ || !(event->buttons() & Qt::LeftButton)) return;
    const PlotTarget t = pictureTarget(pictureSettings());
    const double pixels = slabScale(slab_->radius / zoom_, t) / t.twipsPerPixelX;  // per angstrom
    const QPointF moved = event->position() - dragFrom_;
    dragFrom_ = event->position();
    centre_[0] -= moved.x() / pixels;
    centre_[1] += moved.y() / pixels;  // v runs up
    redraw();
}

void StructureView::mouseDoubleClickEvent(QMouseEvent*) {
    showWhole();
}

}  // namespace tesral
