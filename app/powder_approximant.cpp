#include "app/powder_approximant.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "physics/approximant_calculation.h"

namespace tesral {

PowderApproximant::PowderApproximant(QWidget* parent)
    : QWidget(parent), field_(new QLineEdit), compare_(new QCheckBox(tr("Quasicrystal pattern"))) {
    setObjectName(QStringLiteral("powderApproximantBox"));
    field_->setObjectName(QStringLiteral("powderApproximant"));
    field_->setPlaceholderText(tr("none"));
    field_->setToolTip(
        tr("A rational approximant, P/Q (icosahedral 1/1, 2/1, 3/2, ...; axial "
           "P/Q or P/Q,R/S): its lines are named by hkl"));
    field_->setMaximumWidth(70);
    compare_->setObjectName(QStringLiteral("powderCompareQuasicrystal"));
    compare_->setToolTip(tr("Draw the unstrained quasicrystal's pattern over the approximant's"));
    compare_->hide();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("Approximant")));
    layout->addWidget(field_);
    layout->addWidget(compare_);
    connect(field_, &QLineEdit::returnPressed, this, &PowderApproximant::changed);
    connect(compare_, &QCheckBox::toggled, this, &PowderApproximant::changed);
}

std::optional<physics::Calculation> PowderApproximant::apply(const physics::Calculation& run,
                                                             QString& why) {
    std::optional<physics::Calculation> out = run;
    if (const QString text = field_->text().trimmed(); !text.isEmpty()) {
        const QuasicrystalSystem system = run.parameters.system;
        std::string error;
        const std::optional<Approximant> approximant =
            parseApproximant(text.toStdString(), system, error);
        out = approximant ? physics::withApproximant(run, *approximant) : std::nullopt;
        if (!out) {
            // As the view's other reasons read: lower case, no full stop.
            why = QString::fromStdString(approximant ? kLatticeConstantsMessage : error);
            if (why.endsWith(QLatin1Char('.'))) why.chop(1);
            why = why.left(1).toLower() + why.mid(1);
        }
    }
    compare_->setVisible(out && out->parameters.approximant);
    return out;
}

bool PowderApproximant::comparing() const {
    return !compare_->isHidden() && compare_->isChecked();
}

}  // namespace tesral
