#pragma once

#include "engine/reflection_table.h"
#include "plots/plot_data.h"
#include "plots/plot_options.h"

namespace tesral {

/** What the plot boxes share: the last run's rows, its 3D orientation and the options. */
struct PlotState {
    ReflectionTable table;
    TableStatistics statistics;
    /** Rotated in place by the 3D box; may hold one spare row after the table's rows. */
    ProjectedPoints points;
    int indexDimension = 0;
    PlotOptions options;
    /** A run has completed; the boxes draw and turn only then. */
    bool calculated = false;

    PlotData data() const { return {table, statistics, points, indexDimension}; }
    /** The rows of `points` that belong to the table. */
    std::span<ProjectedPoint> rotatableRows() {
        return std::span<ProjectedPoint>(points).first(std::min(points.size(), table.size()));
    }
};

}  // namespace tesral
