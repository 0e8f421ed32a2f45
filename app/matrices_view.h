#pragma once

#include <QDialog>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;

namespace tesral {

/**
 * The used-matrices window viewMX: the direct lattice matrix and its inverse as fixed-width
 * text, each in a framed read-only box, and OK. Made for one showing.
 */
class MatricesView : public QDialog {
    Q_OBJECT

  public:
    explicit MatricesView(QWidget* parent = nullptr);

    /** Puts `text` (CRLF lines) into Text1 (which = 1, direct) or Text2 (which = 2, inverse). */
    void setText(const QString& text, int which);

    QGroupBox* Frame2;  // direct matrix
    QPlainTextEdit* Text1;
    QGroupBox* Frame1;  // inverse matrix
    QPlainTextEdit* Text2;
    QPushButton* Command1;
};

}  // namespace tesral
