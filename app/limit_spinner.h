#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace tesral {

/**
 * The small up/down arrows beside a loop-limit field. A click steps the number the field
 * reads as by one and writes back a whole number; clicks stay within 0..20, typed texts are
 * left as they are.
 */
class LimitSpinner : public QWidget {
    Q_OBJECT

  public:
    static constexpr double kLowest = 0.0;
    static constexpr double kHighest = 20.0;

    explicit LimitSpinner(QLineEdit* field, QWidget* parent = nullptr);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

  public slots:
    void stepUp();
    void stepDown();

  private:
    QLineEdit* field_;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace tesral
