#pragma once

#include "plots/plot_canvas.h"
#include "plots/plot_data.h"
#include "plots/plot_options.h"

namespace tesral {

// Both drawings return false on a fault (nothing to scale by, a value out of range); the
// canvas may then hold part of a picture, so draw into a buffer and show it only on success.

/** The zero layer (last index 0) at (x, y), isotropic, x = maxZeroLayerX on the edge. */
bool drawZeroLayer(const PlotData& data, const PlotOptions& options, const PlotTarget& target,
                   PlotCanvas& canvas);

/**
 * Every reflection at (points column 1, column 2), in the rows' current order. Points fewer
 * than the rows draw only those points (a thinned picture while the plot turns).
 */
bool draw3D(const PlotData& data, const PlotOptions& options, const PlotTarget& target,
            PlotCanvas& canvas);

/** Draws the plot of the given kind. */
bool drawPlot(PlotKind kind, const PlotData& data, const PlotOptions& options,
              const PlotTarget& target, PlotCanvas& canvas);

}  // namespace tesral
