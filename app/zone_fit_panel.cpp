#include "app/zone_fit_panel.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <cmath>

namespace tesral {
namespace {

const QString kNone = QStringLiteral("\u2013");

}  // namespace

ZoneFitPanel::ZoneFitPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("Fit results"), parent),
      centre_(label("lblFitCentre")),
      rotation_(label("lblFitRotation")),
      scale_(label("lblFitScale")),
      pixelSize_(new QLineEdit),
      camera_(label("lblFitCamera")),
      axis_(label("lblFitAxis")),
      matched_(label("lblFitMatched")),
      unmatched_(label("lblFitUnmatched")),
      rms_(label("lblFitRms")),
      ellipse_(label("lblFitEllipse")) {
    setObjectName(QStringLiteral("grpZoneFit"));
    pixelSize_->setObjectName(QStringLiteral("tfFitPixelSize"));
    pixelSize_->setPlaceholderText(QStringLiteral("for \u03bbL"));
    axis_->setWordWrap(true);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Centre (px)"), centre_);
    form->addRow(QStringLiteral("Rotation (\u00b0)"), rotation_);
    form->addRow(QStringLiteral("px per 1/\u00c5"), scale_);
    form->addRow(QStringLiteral("Pixel size (mm)"), pixelSize_);
    form->addRow(QStringLiteral("\u03bbL (\u00c5\u00b7mm)"), camera_);
    form->addRow(QStringLiteral("Axis"), axis_);
    form->addRow(QStringLiteral("Matched"), matched_);
    form->addRow(QStringLiteral("Unmatched"), unmatched_);
    form->addRow(QStringLiteral("rms (px)"), rms_);
    form->addRow(QStringLiteral("Ellipse"), ellipse_);
    connect(pixelSize_, &QLineEdit::textChanged, this, &ZoneFitPanel::showCamera);
    clear();
}

QLabel* ZoneFitPanel::label(const char* name) {
    auto* l = new QLabel;
    l->setObjectName(QString::fromLatin1(name));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

void ZoneFitPanel::clear() {
    calibration_ = {};
    for (QLabel* l :
         {centre_, rotation_, scale_, camera_, axis_, matched_, unmatched_, rms_, ellipse_})
        l->setText(kNone);
}

void ZoneFitPanel::showPlacement(const physics::PatternCalibration& p) {
    centre_->setText(QStringLiteral("%1, %2").arg(p.centreX, 0, 'f', 2).arg(p.centreY, 0, 'f', 2));
    rotation_->setText(QString::number(p.rotation, 'f', 2));
    scale_->setText(QString::number(p.scale, 'f', 2));
    ellipse_->setText(p.ellipseRatio == 1.0 ? QStringLiteral("none")
                                            : QStringLiteral("%1 at %2\u00b0")
                                                  .arg(p.ellipseRatio, 0, 'f', 4)
                                                  .arg(p.ellipseAngle, 0, 'f', 1));
    calibration_ = p;
    showCamera();
}

void ZoneFitPanel::showFit(const FitSummary& fit) {
    showPlacement(fit.calibration);
    axis_->setText(fit.axis.isEmpty() ? kNone : fit.axis);
    matched_->setText(QString::number(fit.matched));
    unmatched_->setText(QString::number(fit.unmatchedMeasured));
    rms_->setText(std::isfinite(fit.rmsPixels) ? QString::number(fit.rmsPixels, 'f', 2) : kNone);
}

std::optional<double> ZoneFitPanel::pixelSize() const {
    bool ok = false;
    const double size = pixelSize_->text().trimmed().toDouble(&ok);
    if (!ok || !(size > 0.0) || !std::isfinite(size)) return std::nullopt;
    return size;
}

void ZoneFitPanel::showCamera() {
    const std::optional<double> size = pixelSize();
    camera_->setText(size && calibration_.scale > 0.0
                         ? QString::number(physics::cameraConstant(calibration_, *size), 'g', 5)
                         : kNone);
}

QString ZoneFitPanel::value(const QString& name) const {
    const auto* l = findChild<QLabel*>(name);
    return l ? l->text() : QString();
}

}  // namespace tesral
