#include "app/powder_plot_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "plots/painter_canvas.h"
#include "plots/picture_settings.h"
#include "plots/powder_picture.h"

namespace tesral {

PowderPlotWidget::PowderPlotWidget(QWidget* parent)
    : PictureView(parent), emptyText_(tr("Run a calculation (F5) for the powder pattern.")) {
    setObjectName(QStringLiteral("powderPlot"));
    setMouseTracking(true);
    setMinimumSize(400, 250);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PowderPlotWidget::setPattern(double start, double step, std::vector<double> profile,
                                  std::vector<physics::PowderLine> lines) {
    start_ = start;
    step_ = step;
    profile_ = std::move(profile);
    lines_ = std::move(lines);
    compared_.clear();
    ticks_.clear();
    strongest_ = 0.0;
    for (const physics::PowderLine& l : lines_) {
        strongest_ = std::max(strongest_, l.weight);
        ticks_.push_back({l.twoTheta, l.weight, QString::fromStdString(physics::lineName(l))});
    }
    setView(start_, gridStop());
    emit pictureChanged();
}

void PowderPlotWidget::setMeasured(std::vector<double> twoTheta, std::vector<double> intensity) {
    measuredTwoTheta_ = std::move(twoTheta);
    measuredIntensity_ = scaledTo(intensity, 100.0);
    const auto high = std::max_element(intensity.begin(), intensity.end());
    measuredScale_ = high != intensity.end() && *high > 0.0 ? 100.0 / *high : 1.0;
    fitted_.clear();
    update();
}

void PowderPlotWidget::setFit(std::vector<double> calculated) {
    fitted_ = std::move(calculated);
    if (fitted_.size() != measuredTwoTheta_.size()) fitted_.clear();
    for (double& v : fitted_) v *= measuredScale_;
    update();
}

void PowderPlotWidget::setDifference(bool shown) {
    difference_ = shown;
    update();
}

double PowderPlotWidget::gridStop() const {
    return start_ + step_ * static_cast<double>(profile_.empty() ? 0 : profile_.size() - 1);
}

PowderPlotData PowderPlotWidget::data() const {
    PowderPlotData d;
    d.start = start_;
    d.step = step_;
    d.profile = profile_;
    d.ticks = ticks_;
    d.measuredTwoTheta = measuredTwoTheta_;
    d.measuredIntensity = measuredIntensity_;
    d.difference = difference_;
    d.fitted = fitted_;
    d.viewStart = viewStart_;
    d.viewStop = viewStop_;
    d.title = title_;
    d.compared = compared_;
    d.name = name_;
    d.comparedName = comparedName_;
    return d;
}

void PowderPlotWidget::setView(double start, double stop) {
    const double low = start_, high = gridStop();
    const double width = std::clamp(stop - start, 20.0 * step_, std::max(high - low, 20.0 * step_));
    start = std::clamp(start, low, std::max(low, high - width));
    viewStart_ = start;
    viewStop_ = start + width;
    update();
}

void PowderPlotWidget::zoom(double factor, double centre) {
    const double start = centre - (centre - viewStart_) / factor;
    const double stop = centre + (viewStop_ - centre) / factor;
    setView(start, stop);
}

PictureDrawing PowderPlotWidget::drawing() const {
    PictureDrawing d;
    d.draw = [this](const PlotTarget& target, PlotCanvas& canvas) {
        return drawPowderPlot(data(), target, canvas);
    };
    d.title = QStringLiteral("Tesral powder pattern");
    d.nothing = QStringLiteral("nothing to draw: the pattern is empty");
    d.landscape = true;
    return d;
}

QString PowderPlotWidget::sizeProblem(const PictureSettings& settings) const {
    return powderSizeProblem(data(), settings);
}

void PowderPlotWidget::clearPattern(const QString& text) {
    profile_.clear();
    lines_.clear();
    compared_.clear();
    ticks_.clear();
    strongest_ = 0.0;
    emptyText_ = text;
    update();
    emit pictureChanged();
}

void PowderPlotWidget::setCompared(std::vector<double> profile, const QString& name,
                                   const QString& comparedName) {
    compared_ = std::move(profile);
    name_ = name;
    comparedName_ = comparedName;
    update();
    emit pictureChanged();
}

void PowderPlotWidget::setTitle(const QString& title) {
    title_ = title;
    update();
}

void PowderPlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const PlotTarget t = target();
    PainterCanvas canvas(painter, QSizeF(size()), t.twipsPerPixelX);
    if (!hasPattern() || !drawPowderPlot(data(), t, canvas)) {
        painter.fillRect(rect(), Qt::white);
        painter.setPen(Qt::black);
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                         emptyText_);
    }
}

QString PowderPlotWidget::lineTipAt(double x) const {
    if (!hasPattern()) return {};
    const PlotTarget t = target();
    const PowderFrame f = powderFrame(data(), t);
    const double twips = x * t.twipsPerPixelX;
    if (twips < f.left || twips > f.right) return {};
    const double at = f.twoThetaOf(twips);
    const double reach = 4.0 * t.twipsPerPixelX / (f.right - f.left) * (f.high - f.low);
    // The strongest line within reach: weak lines crowd the strong ones.
    const physics::PowderLine* best = nullptr;
    auto it =
        std::lower_bound(lines_.begin(), lines_.end(), at - reach,
                         [](const physics::PowderLine& l, double v) { return l.twoTheta < v; });
    for (; it != lines_.end() && it->twoTheta <= at + reach; ++it)
        if (!best || it->weight > best->weight) best = &*it;
    if (!best) return {};
    QString tip = QStringLiteral("%1\n2θ = %2°   d = %3 Å\nI = %4, multiplicity %5")
                      .arg(QString::fromStdString(physics::indexText(*best)))
                      .arg(best->twoTheta, 0, 'f', 4)
                      .arg(best->d, 0, 'f', 5)
                      .arg(strongest_ > 0 ? 100.0 * best->weight / strongest_ : 0.0, 0, 'f', 2)
                      .arg(best->multiplicity);
    if (best->label)
        tip +=
            QStringLiteral("\nN/M = ") + QString::fromStdString(physics::labelText(*best->label));
    if (best->hkl)
        tip += QStringLiteral("\nhkl = ") + QString::fromStdString(physics::hklText(*best->hkl));
    return tip;
}

void PowderPlotWidget::wheelEvent(QWheelEvent* event) {
    if (!hasPattern()) return;
    const PlotTarget t = target();
    const PowderFrame f = powderFrame(data(), t);
    const double centre = f.twoThetaOf(event->position().x() * t.twipsPerPixelX);
    zoom(std::pow(1.25, event->angleDelta().y() / 120.0), centre);
    event->accept();
}

void PowderPlotWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    dragFrom_ = event->position().x();
}

void PowderPlotWidget::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        const PlotTarget t = target();
        const PowderFrame f = powderFrame(data(), t);
        const double degreesPerPixel = (f.high - f.low) / ((f.right - f.left) / t.twipsPerPixelX);
        const double shift = (dragFrom_ - event->position().x()) * degreesPerPixel;
        dragFrom_ = event->position().x();
        setView(viewStart_ + shift, viewStop_ + shift);
        return;
    }
    dragging_ = false;
    const QString tip = lineTipAt(event->position().x());
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), tip, this);
}

void PowderPlotWidget::mouseDoubleClickEvent(QMouseEvent*) {
    setView(start_, gridStop());
}

}  // namespace tesral
