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

    QToolButton* bDEC2D;
    QToolButton* bINC2D;
    QToolButton* bReset2D;
    QToolButton* bDEC3D;
    QToolButton* bINC3D;
    QToolButton* bReset3D;

  signals:
    void zoomChanged(tesral::PlotKind kind);

  private:
    QToolButton* makeButton(const char* name, const QString& text, const QString& toolTip,
                            PlotKind kind, void (*change)(PlotOptions&, PlotKind));

    PlotOptions& options_;
};

}  // namespace tesral
