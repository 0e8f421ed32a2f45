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

    QWidget* pbPattern;
    QWidget* pbLogo;
    QLabel* lblAuthor;
    QLabel* lblMaker;
    QLabel* lblReferences;
    QPushButton* Command1;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tesral
