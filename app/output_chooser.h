#pragma once

#include <QDialog>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace tesral {

/**
 * The output-target chooser dlg2OR3 of the save, copy and print buttons: 2D plot, 3D plot
 * or reflection list. A fresh chooser is made for every use, so "2D plot - 0. layer" is
 * selected each time; closing it by its window's close box counts as "Cancel".
 */
class OutputChooser : public QDialog {
    Q_OBJECT

  public:
    enum Mode { NoTarget = 0, ZeroLayerPlot = 1, ThreeDPlot = 2, ReflectionList = 3 };

    /** `caption` is the frame's caption: "Save", "Copy" or "Print". */
    explicit OutputChooser(const QString& caption, QWidget* parent = nullptr);

    /**
     * Shows the chooser below `anchor` (a toolbar button) and returns the chosen target,
     * NoTarget when cancelled.
     */
    static int choose(const QString& caption, QWidget* anchor, QWidget* parent);

  private:
    bool cancelled_ = true;
    int mode_ = NoTarget;
    // Frame1, Option1..3, OKButton, CancelButton.
    QGroupBox* frame_;
    QRadioButton* zeroLayerOption_;
    QRadioButton* threeDOption_;
    QRadioButton* listOption_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

}  // namespace tesral
