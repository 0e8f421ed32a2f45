#include "app/limit_spinner.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/number_reader.h"

namespace tesral {

namespace {

double fieldValue(const QLineEdit* field) {
    return readNumber(field->text().toStdString());
}

void writeValue(QLineEdit* field, double value) {
    // Adding zero turns the -0 that rounding -0.2 gives into 0.
    field->setText(QString::number(roundHalfEven(value) + 0.0, 'f', 0));
}

QToolButton* arrowButton(Qt::ArrowType arrow, const char* name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    button->setFixedWidth(14);
    return button;
}

}  // namespace

LimitSpinner::LimitSpinner(QLineEdit* field, QWidget* parent)
    : QWidget(parent),
      field_(field),
      up_(arrowButton(Qt::UpArrow, "stepUp", this)),
      down_(arrowButton(Qt::DownArrow, "stepDown", this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    setFixedSize(14, field->sizeHint().height());
    connect(up_, &QToolButton::clicked, this, &LimitSpinner::stepUp);
    connect(down_, &QToolButton::clicked, this, &LimitSpinner::stepDown);
}

void LimitSpinner::stepUp() {
    writeValue(field_, std::min(kHighest, fieldValue(field_) + 1.0));
}

void LimitSpinner::stepDown() {
    writeValue(field_, std::max(kLowest, fieldValue(field_) - 1.0));
}

}  // namespace tesral
