#pragma once

#include <QFrame>
#include <array>
#include <optional>

#include "engine/run_parameters.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;

namespace tesral {

class LimitSpinner;

/**
 * The input panel at the right of the main window: space group, lattice, loop limits,
 * theta range, qi max, wavelength and the list search. It holds texts only; a run reads
 * them once through inputs().
 */
class InputPanel : public QFrame {
    Q_OBJECT

  public:
    explicit InputPanel(QWidget* parent = nullptr);

    /** The panel as typed (ui --> RunInputs). */
    RunInputs inputs() const;
    /** Shows `inputs`: system and group first, then the texts and the convention. */
    void setInputs(const RunInputs& inputs);

    /**
     * Makes the panel match the system at list index 0..3 of cmbSystem: its group list
     * with `groupIndex` selected (else the system's default group), h6 only for the
     * icosahedral system, c for the others. Hidden fields keep their texts.
     */
    void applySystem(int systemIndex, std::optional<int> groupIndex = {});

    /** The group list of the system at list index 0..3. */
    QComboBox* groupList(int systemIndex) const;

    QFrame* frRight2;

    QComboBox* cmbSystem;
    QComboBox* cmbSG8;
    QComboBox* cmbSG10;
    QComboBox* cmbSG12;
    QComboBox* cmbSG20;

    QLineEdit* tfA;
    QLineEdit* tfC;
    QLabel* Label4;

    QRadioButton* rbYamamoto;
    QRadioButton* rbSteurer;

    /** Loop limits h1..h6; h6 is used by the icosahedral system only. */
    std::array<QLineEdit*, 6> tfH;
    LimitSpinner* up1;
    LimitSpinner* up2;
    LimitSpinner* up3;
    LimitSpinner* up4;
    LimitSpinner* up5;
    LimitSpinner* up6;
    QLabel* Lhkl;
    QLabel* Lhkl2;

    QLineEdit* tfTH1;  // degrees
    QLineEdit* tfTH2;  // degrees
    QLineEdit* tfQI;   // 1/angstrom
    QLineEdit* tfWL;   // angstrom
    QComboBox* cmbAnode;

    QLineEdit* tfFind;
    QToolButton* bRTFFIND;

  signals:
    void systemChanged(int systemIndex);
    void findRequested();

  private:
    QWidget* createSpaceGroupBox();
    QWidget* createLatticeBox();
    QWidget* createConventionBox();
    QWidget* createLoopBox();
    QWidget* createThetaBox();
    QWidget* createQiBox();
    QWidget* createWavelengthBox();
    QWidget* createFindRow();
    void applyAnode(int position);
};

}  // namespace tesral
