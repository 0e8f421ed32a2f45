#pragma once

#include <QWidget>

#include "plots/plot_options.h"

class QToolButton;

namespace tesral {

class PlotView;
class Session;

/**
 * The large view frBig: one plot enlarged over the window's client area below the toolbar,
 * with the buttons to copy, save, print and close it. The owner decides what the buttons do.
 */
class LargeView : public QWidget {
    Q_OBJECT

  public:
    LargeView(Session& session, const PlotOptions& options, QWidget* parent = nullptr);

    /** The enlarged plot box, pbBig. */
    PlotView* plot() const { return plot_; }
    // The buttons beside it: btCopyBig, btSaveBig, btPrintBig, btCloseBig.
    QToolButton* copyButton() const { return copyButton_; }
    QToolButton* saveButton() const { return saveButton_; }
    QToolButton* printButton() const { return printButton_; }
    QToolButton* closeButton() const { return closeButton_; }

    /** The kind the large view shows: largeViewShows3D. */
    bool shows3D() const;

  private:
    PlotView* plot_;
    QWidget* buttons_;
    QToolButton* copyButton_;
    QToolButton* saveButton_;
    QToolButton* printButton_;
    QToolButton* closeButton_;
};

}  // namespace tesral
