#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tesral {

/**
 * The About window frmSplash: a decagonal diffraction pattern, the logo, links to the
 * author's and the maker's pages, the literature behind the two basis conventions and the
 * symmetry, and OK. It has no title bar; it closes on OK, on any key, on a click on its
 * frame and on a mouse button released over the pattern.
 */
class AboutWindow : public QDialog {
    Q_OBJECT

  public:
    explicit AboutWindow(QWidget* parent = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    // Each carries its objectName: pbPattern, pbLogo, lblAuthor, lblMaker, lblReferences,
    // Command1.
    QWidget* pattern_;
    QWidget* logo_;
    QLabel* authorLink_;
    QLabel* makerLink_;
    QLabel* references_;
    QPushButton* okButton_;
};

}  // namespace tesral
