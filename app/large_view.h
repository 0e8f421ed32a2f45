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

    PlotView* pbBig;
    QWidget* frBt;
    QToolButton* btCopyBig;
    QToolButton* btSaveBig;
    QToolButton* btPrintBig;
    QToolButton* btCloseBig;

    /** The kind the large view shows: largeViewShows3D. */
    bool shows3D() const;
};

}  // namespace tesral
