#pragma once

#include <span>

#include "engine/generation.h"
#include "engine/reflection_table.h"

namespace tesral {

/**
 * The results the window shows: the last completed run, the 3D plot's working points and
 * the coordinate extremes of the session. The plots, the list and every output command read
 * them here; "no data" answers come from calculated().
 */
class Session {
  public:
    /** Takes a completed run and the 3D plot's points built from its rows. */
    void publish(RunResult result, ProjectedPoints points);
    /** "New" and a cancelled run: no results; the coordinate extremes stay. */
    void clear();

    bool calculated() const { return calculated_; }
    /** Rows of the last completed run; 0 without results. */
    std::size_t reflectionCount() const { return calculated_ ? result_.table.size() : 0; }
    const RunResult& result() const { return result_; }
    const ReflectionTable& table() const { return result_.table; }
    const TableStatistics& statistics() const { return result_.statistics; }
    /** 5 for the axial systems, 6 for the icosahedral one; 0 before any run. */
    int indexDimension() const { return result_.indexDimension; }

    /** Rotated and depth-sorted in place by the 3D plot. */
    ProjectedPoints& points() { return points_; }
    const ProjectedPoints& points() const { return points_; }
    /** The points that belong to the table. */
    std::span<ProjectedPoint> rotatableRows();

    /**
     * What the next run starts from: the coordinate extremes only ever widen over the runs
     * of a session.
     */
    const TableStatistics& extremes() const { return extremes_; }

  private:
    bool calculated_ = false;
    RunResult result_;
    ProjectedPoints points_;
    TableStatistics extremes_;
};

}  // namespace tesral
