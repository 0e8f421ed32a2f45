#pragma once

#include <QWidget>

#include "plots/plot_options.h"

class QToolButton;

namespace tesral {

/**
 * The six zoom buttons of the plot control strip. They change the zoom factors in the
 * options they are given and tell which plot to redraw; where to draw is the owner's call.
 */
class ZoomButtons : public QWidget {
    Q_OBJECT

  public:
    ZoomButtons(PlotOptions& options, QWidget* parent = nullptr);

  signals:
    void zoomChanged(tesral::PlotKind kind);

  private:
    QToolButton* makeButton(const char* name, const QString& text, const QString& toolTip,
                            PlotKind kind, void (*change)(PlotOptions&, PlotKind));

    PlotOptions& options_;
    // bDEC2D, bINC2D, bReset2D and the same for 3D.
    QToolButton* zoomOut2D_;
    QToolButton* zoomIn2D_;
    QToolButton* reset2D_;
    QToolButton* zoomOut3D_;
    QToolButton* zoomIn3D_;
    QToolButton* reset3D_;
};

}  // namespace tesral
