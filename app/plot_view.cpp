#include "app/plot_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QResizeEvent>
#include <cmath>

#include "app/window_session.h"
#include "plots/image_canvas.h"
#include "plots/placeable_metafile.h"
#include "plots/plot_drawing.h"
#include "plots/plot_print.h"
#include "plots/rotation.h"

namespace tesral {

namespace {

/** One arrow key turns the 3D plot by 5 degrees. */
constexpr float kKeyStep = 5.0f;

// Drag steps (degrees): smaller turns are dropped, smaller moves are not redrawn, and only
// larger turns change the depth order enough to sort again.
constexpr float kMinimumTurn = 0.1f;
constexpr float kSortTurn = 0.25f;
constexpr float kRedrawTurn = 0.01f;

/** While a drag turns more points than this, every k-th of them is drawn, and all on release. */
constexpr std::size_t kDragPoints = 200'000;

}  // namespace

PlotData plotDataOf(const Session& session) {
    return {session.table(), session.statistics(), session.points(), session.indexDimension()};
}

PlotView::PlotView(Session& session, const PlotOptions& options, PlotKind kind, QWidget* parent)
    : PictureView(parent, kBlack, kWhite),
      session_(session),
      options_(options),
      kind_(kind),
      unitsPerInch_(kTwipsPerInch) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureDrawing PlotView::drawing() const {
    PictureDrawing drawing =
        plotPictureDrawing(kind_, plotDataOf(session_), options_, session_.result().header);
    // Outlines one printer pixel wide, in twips.
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    const int dpi = printer.isNull() ? kPdfResolution : QPrinter(printer).resolution();
    drawing.metafile = {static_cast<int>(std::lrint(1440.0 / dpi)), unitsPerInch_};
    return drawing;
}

QString PlotView::pictureName() const {
    return kind_ == PlotKind::ThreeD ? QStringLiteral("tesral3D") : QStringLiteral("tesral2D");
}

double PlotView::twipsPerPixel() const {
    return tesral::twipsPerPixel(logicalDpiX());
}

void PlotView::follow(const WindowSession& session) {
    connect(&session, &WindowSession::published, this, [this] {
        // A hidden box (the large view while it is closed) draws when it is shown.
        if (isVisibleTo(window())) drawSession();
    });
    connect(&session, &WindowSession::cleared, this, &PlotView::clearPicture);
    connect(&session, &WindowSession::busyChanged, this, &PlotView::setBusy);
}

bool PlotView::drawSession() {
    const bool rows = session_.calculated() && session_.reflectionCount() != 0;
    // Rows without intensities would all be too weak to draw under the intensity size rule.
    if (rows && options_.sizeByIntensity && session_.result().header.modelText.empty()) {
        showText(QStringLiteral("no intensities: tick \"use intensities\" and run again"));
        return true;
    }
    if (!session_.calculated() || rows) return redraw();
    // A run that kept nothing leaves no earlier pattern behind.
    showText(QStringLiteral("no reflections"));
    return true;
}

bool PlotView::redraw() {
    if (busy_ || !session_.calculated()) return false;
    return show(plotDataOf(session_));
}

bool PlotView::show(const PlotData& data) {
    QImage buffer = ImageCanvas::makeImage(size(), devicePixelRatioF());
    ImageCanvas canvas(buffer, twipsPerPixel());
    if (!drawPlot(kind_, data, options_, screenTarget(), canvas)) return false;
    picture_ = std::move(buffer);
    update();
    return true;
}

void PlotView::redrawWhileTurning() {
    const std::span<ProjectedPoint> rows = session_.rotatableRows();
    if (rows.size() <= kDragPoints) {
        redraw();
        return;
    }
    // Every k-th point of the last full order, sorted on its own: the sort of all the
    // points waits for the release.
    const std::size_t step = (rows.size() + kDragPoints - 1) / kDragPoints;
    sample_.clear();
    for (std::size_t i = 0; i < rows.size(); i += step) sample_.push_back(rows[i]);
    sortByDepth(sample_);
    PlotData data = plotDataOf(session_);
    data.points = sample_;
    thinned_ = true;
    show(data);
}

void PlotView::clearPicture() {
    picture_ = ImageCanvas::makeImage(size(), devicePixelRatioF());
    picture_.fill(backgroundColour());
    update();
}

void PlotView::showText(const QString& text) {
    clearPicture();
    QPainter painter(&picture_);
    painter.setPen(QColor::fromRgb(foregroundColour()));
    painter.setFont(defaultPlotFont());
    painter.drawText(QRectF(QPointF(0, 0), picture_.deviceIndependentSize()), Qt::AlignCenter,
                     text);
}

void PlotView::rotate(int axis, float degrees) {
    if (axis < 1 || axis > 3 || busy_) return;
    Rotate(session_.rotatableRows(), axis, degrees);
    redraw();
}

bool PlotView::thinsDrag() const {
    return session_.rotatableRows().size() > kDragPoints;
}

void PlotView::turn(int axis, float degrees) {
    Rotate(session_.rotatableRows(), axis, degrees);
    emit pointsRotated();
}

void PlotView::sortAll() {
    sortByDepth(session_.rotatableRows());
}

void PlotView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (picture_.isNull())
        painter.fillRect(rect(), QColor::fromRgb(backgroundColour()));
    else
        painter.drawImage(QRectF(rect()), picture_);
}

void PlotView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The words of an empty run are written anew at the new size, not stretched.
    if (session_.calculated()) drawSession();
}

void PlotView::keyPressEvent(QKeyEvent* event) {
    int axis = 0;
    float degrees = 0.0f;
    switch (event->key()) {
        case Qt::Key_Left:
            axis = 3, degrees = -kKeyStep;
            break;
        case Qt::Key_Right:
            axis = 3, degrees = kKeyStep;
            break;
        case Qt::Key_Up:
            axis = 2, degrees = kKeyStep;
            break;
        case Qt::Key_Down:
            axis = 2, degrees = -kKeyStep;
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
    if (!turns()) return;
    turn(axis, degrees);
    sortAll();
    redraw();
}

void PlotView::mousePressEvent(QMouseEvent* event) {
    if (!turns()) return;
    const auto tpp = static_cast<float>(twipsPerPixel());
    lastX_ = static_cast<float>(event->position().x()) * tpp;
    lastY_ = static_cast<float>(event->position().y()) * tpp;
}

void PlotView::mouseMoveEvent(QMouseEvent* event) {
    if (!turns()) return;
    const auto tpp = static_cast<float>(twipsPerPixel());
    const float curX = static_cast<float>(event->position().x()) * tpp;
    const float curY = static_cast<float>(event->position().y()) * tpp;
    const float w = static_cast<float>(width()) * tpp;
    if (event->buttons() == Qt::LeftButton) {
        // A drag across the whole width turns by 180 degrees.
        const float aY = (lastY_ - curY) * 360.0f / w * 0.5f;
        const float aX = (lastX_ - curX) * 360.0f / w * 0.5f;
        if (std::fabs(aX) > kMinimumTurn) turn(3, -aX);
        if (std::fabs(aY) > kMinimumTurn) turn(2, aY);
        const bool thin = thinsDrag();
        if (!thin && (std::fabs(aY) > kSortTurn || std::fabs(aX) > kSortTurn)) sortAll();
        lastX_ = curX;
        lastY_ = curY;
        if (std::fabs(aY) > kRedrawTurn || std::fabs(aX) > kRedrawTurn) redrawWhileTurning();
    } else if (event->buttons() == Qt::RightButton) {
        float d = ((curY - lastY_) * 360.0f / w + (curX - lastX_) * 360.0f / w) * 0.5f;
        // Turning in the screen plane: the same drag turns the other way in the left half.
        if (curX < w / 2.0f) d = -d;
        // Axis 1 keeps the depth column, so no sort is needed.
        if (std::fabs(d) > kMinimumTurn) turn(1, d);
        lastX_ = curX;
        lastY_ = curY;
        redrawWhileTurning();
    }
}

void PlotView::mouseReleaseEvent(QMouseEvent*) {
    if (!turns()) return;
    if (thinned_) sortAll();
    thinned_ = false;
    sample_ = ProjectedPoints();
    redraw();
}

}  // namespace tesral
