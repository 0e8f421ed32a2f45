#include "app/intensity_fit_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/screen_fit.h"
#include "physics/powder_lines.h"
#include "plots/painter_canvas.h"

namespace tesral {

namespace {

double misfit(const physics::ObservationFit& f) {
    const double sigma = f.sigma > 0.0 ? f.sigma : 1.0;
    return std::fabs(f.observed - f.calculated) / sigma;
}

QString reflectionText(const physics::ObservationFit& f) {
    QStringList indices;
    for (int i = 0; i < f.dimension && i < 6; ++i) indices << QString::number(f.indices[i]);
    QString text = indices.join(QLatin1Char(' '));
    if (f.label)
        text += QStringLiteral(" (%1)").arg(QString::fromStdString(physics::labelText(*f.label)));
    if (f.twoTheta > 0.0) text = QStringLiteral("2θ %1°: ").arg(f.twoTheta, 0, 'f', 3) + text;
    return text;
}

}  // namespace

std::vector<physics::ObservationFit> worstFitting(std::vector<physics::ObservationFit> fits,
                                                  std::size_t count) {
    std::stable_sort(fits.begin(), fits.end(),
                     [](const auto& a, const auto& b) { return misfit(a) > misfit(b); });
    if (fits.size() > count) fits.resize(count);
    return fits;
}

IntensityFitView::IntensityFitView(QWidget* parent) : PictureView(parent) {
    setObjectName(QStringLiteral("intensityFitPlot"));
    setMinimumSize(300, 300);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void IntensityFitView::setPoints(std::vector<IntensityFitPoint> points, QString title) {
    points_ = std::move(points);
    title_ = std::move(title);
    update();
    emit pictureChanged();
}

PictureDrawing IntensityFitView::drawing() const {
    PictureDrawing d;
    d.draw = [this](const PlotTarget& target, PlotCanvas& canvas) {
        return drawIntensityFit(data(), target, canvas);
    };
    d.title = QStringLiteral("Tesral intensity fit");
    d.nothing = QStringLiteral("nothing to draw: no intensity is positive");
    d.square = true;
    return d;
}

void IntensityFitView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const PlotTarget t = screenTarget();
    PainterCanvas canvas(painter, QSizeF(size()), t.twipsPerPixelX);
    if (!drawIntensityFit(data(), t, canvas)) {
        painter.fillRect(rect(), Qt::white);
        painter.setPen(Qt::black);
        painter.drawText(rect(), Qt::AlignCenter, tr("No positive intensities to plot."));
    }
}

IntensityFitWindow::IntensityFitWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      view_(new IntensityFitView),
      merit_(new QLabel),
      worst_(new QTableWidget(0, 6)) {
    setObjectName(QStringLiteral("intensityFitWindow"));
    setWindowTitle(tr("I calc against I obs"));
    merit_->setObjectName(QStringLiteral("intensityFitMerit"));
    worst_->setObjectName(QStringLiteral("intensityFitWorst"));
    worst_->setHorizontalHeaderLabels(
        {tr("Reflection"), tr("d (Å)"), tr("I obs"), tr("I calc"), tr("σ"), tr("Δ/σ")});
    worst_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    worst_->horizontalHeader()->setStretchLastSection(true);
    worst_->verticalHeader()->hide();
    worst_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* right = new QVBoxLayout;
    right->addWidget(merit_);
    right->addWidget(new QLabel(tr("The worst-fitting reflections:")));
    right->addWidget(worst_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(right, 1);
    fitToScreen(*this, QSize(1000, 460));
}

QString IntensityFitWindow::meritText() const {
    return merit_->text();
}

void IntensityFitWindow::setFit(const std::vector<physics::ObservationFit>& fits,
                                const physics::FiguresOfMerit& merit) {
    const QString text = QStringLiteral("R1 = %1 %, wR2 = %2 %, %3 observations")
                             .arg(100.0 * merit.r1, 0, 'f', 2)
                             .arg(100.0 * merit.wr2, 0, 'f', 2)
                             .arg(fits.size());
    merit_->setText(text);
    std::vector<IntensityFitPoint> points;
    points.reserve(fits.size());
    for (const physics::ObservationFit& f : fits) points.push_back({f.observed, f.calculated});
    view_->setPoints(std::move(points), text);

    const std::vector<physics::ObservationFit> worst = worstFitting(fits, 20);
    worst_->setRowCount(static_cast<int>(worst.size()));
    for (int row = 0; row < static_cast<int>(worst.size()); ++row) {
        const physics::ObservationFit& f = worst[static_cast<std::size_t>(row)];
        const QString cells[] = {
            reflectionText(f),
            QString::number(f.d, 'f', 4),
            QString::number(f.observed, 'g', 5),
            QString::number(f.calculated, 'g', 5),
            f.sigma > 0.0 ? QString::number(f.sigma, 'g', 3) : QString(),
            QString::number((f.observed - f.calculated) / (f.sigma > 0.0 ? f.sigma : 1.0), 'f', 1)};
        for (int column = 0; column < 6; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            worst_->setItem(row, column, item);
        }
    }
}

}  // namespace tesral
