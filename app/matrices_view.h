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

    /**
     * Puts `text` (CRLF lines) into the direct matrix's box (which = 1, Text1) or the
     * inverse's (which = 2, Text2).
     */
    void setText(const QString& text, int which);

  private:
    QGroupBox* directFrame_;  // Frame2
    QPlainTextEdit* directText_;
    QGroupBox* inverseFrame_;  // Frame1
    QPlainTextEdit* inverseText_;
    QPushButton* okButton_;
};

}  // namespace tesral
