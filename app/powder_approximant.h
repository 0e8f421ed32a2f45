#pragma once

#include <QWidget>
#include <optional>

#include "physics/calculation.h"

class QCheckBox;
class QLineEdit;

namespace tesral {

/**
 * The powder view's approximant: a field for P/Q (empty: the run as it is, with the strain
 * of its model) and the check box "Quasicrystal pattern", shown while the pattern is an
 * approximant's, that draws the unstrained quasicrystal's pattern over it. Enter in the
 * field or a click on the box asks for the pattern again (changed()).
 */
class PowderApproximant : public QWidget {
    Q_OBJECT

  public:
    explicit PowderApproximant(QWidget* parent = nullptr);

    /**
     * `run` strained into the field's approximant (it replaces the run's strain and the
     * model's); `run` itself for an empty field. Nothing and `why` set when the field is no
     * approximant of the run's system. Shows the check box when the result is an approximant's.
     */
    std::optional<physics::Calculation> apply(const physics::Calculation& run, QString& why);
    /** The quasicrystal's pattern is to be drawn too. */
    bool comparing() const;

    QLineEdit* field() const { return field_; }
    QCheckBox* compare() const { return compare_; }

  signals:
    void changed();

  private:
    QLineEdit* field_;
    QCheckBox* compare_;
};

}  // namespace tesral
