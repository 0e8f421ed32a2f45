#pragma once

#include <QFrame>
#include <QString>
#include <array>
#include <optional>

#include "engine/run_parameters.h"

class QCheckBox;
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
     * Makes the panel match the system at list index 0..3 of the system list: its group list
     * with `groupIndex` selected (else the system's default group), h6 only for the
     * icosahedral system, c for the others. Hidden fields keep their texts.
     */
    void applySystem(int systemIndex, std::optional<int> groupIndex = {});

    /** The group list of the system at list index 0..3. */
    QComboBox* groupList(int systemIndex) const;

    /** Of the anode list: choosing one rewrites the wavelength field. */
    int anodePosition() const;
    void setAnodePosition(int position);
    /**
     * Shows the wavelength a model's radiation gives the run (electrons, neutrons) in the
     * wavelength field, read-only, with the anode list off; nothing shows the X-ray one again.
     * inputs() and the configuration keep the X-ray wavelength throughout.
     */
    void showModelWavelength(std::optional<double> wavelength, const QString& toolTip = {});
    /** The field shows a model's wavelength, not the X-ray one. */
    bool showsModelWavelength() const { return xrayText_.has_value(); }
    /**
     * The "use intensities" box (cbIntensities), a view of the document's use: the window
     * keeps the two alike. Tesral.cfg does not hold it.
     */
    bool useIntensities() const;
    void setUseIntensities(bool use);
    /** The text the list search looks for (tfFind). */
    QString searchText() const;
    void setSearchText(const QString& text);

    // The controls, for the window's tests; each carries its objectName.
    QComboBox* systemList() const { return systemList_; }               // cmbSystem
    QLineEdit* latticeAField() const { return aField_; }                // tfA
    QLineEdit* latticeCField() const { return cField_; }                // tfC
    QLabel* latticeCLabel() const { return cLabel_; }                   // Label4
    QRadioButton* conventionButton(MatrixConvention convention) const;  // rbYamamoto, rbSteurer
    /** Loop limit h1..h6 at 0..5 (tfH0..tfH5, up1..up6); h6 is used by the icosahedral system. */
    QLineEdit* loopLimitField(int index) const { return limitFields_.at(index); }
    LimitSpinner* loopLimitSpinner(int index) const { return limitSpinners_.at(index); }
    QLabel* h6Label() const { return h6Label_; }                     // Lhkl2
    QLineEdit* thetaMinField() const { return thetaMinField_; }      // tfTH1, degrees
    QLineEdit* thetaMaxField() const { return thetaMaxField_; }      // tfTH2, degrees
    QLineEdit* qiMaxField() const { return qiMaxField_; }            // tfQI, 1/angstrom
    QLineEdit* wavelengthField() const { return wavelengthField_; }  // tfWL, angstrom
    QComboBox* anodeList() const { return anodeList_; }              // cmbAnode
    QCheckBox* intensitiesBox() const { return intensitiesBox_; }    // cbIntensities
    QLineEdit* searchField() const { return searchField_; }          // tfFind
    QToolButton* findButton() const { return findButton_; }          // bRTFFIND

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
    QWidget* createIntensitiesBox();
    QWidget* createFindRow();
    void applyAnode(int position);

    QFrame* inner_;
    QComboBox* systemList_;
    /** The group lists of the four systems, one shown at a time. */
    std::array<QComboBox*, 4> groupLists_;
    QLineEdit* aField_;
    QLineEdit* cField_;
    QLabel* cLabel_;
    QRadioButton* yamamotoButton_;
    QRadioButton* steurerButton_;
    std::array<QLineEdit*, 6> limitFields_;
    std::array<LimitSpinner*, 6> limitSpinners_;
    QLabel* limitsLabel_;
    QLabel* h6Label_;
    QLineEdit* thetaMinField_;
    QLineEdit* thetaMaxField_;
    QLineEdit* qiMaxField_;
    /** tfApproximant: "P/Q" (or "P/Q,R/S" axial) strains the run into its approximant. */
    QLineEdit* approximantField_;
    QLineEdit* wavelengthField_;
    /** The X-ray wavelength as typed or chosen, while the field shows a model's. */
    std::optional<QString> xrayText_;
    QComboBox* anodeList_;
    QCheckBox* intensitiesBox_;
    QLineEdit* searchField_;
    QToolButton* findButton_;
};

}  // namespace tesral
