#include "app/session.h"

#include <algorithm>

namespace tesral {

void Session::publish(RunResult result, ProjectedPoints points) {
    result_ = std::move(result);
    points_ = std::move(points);
    extremes_ = result_.statistics;
    calculated_ = true;
}

void Session::clear() {
    calculated_ = false;
    // The rows are released at once: a cancelled large run should give its memory back.
    result_.table = ReflectionTable();
    points_ = ProjectedPoints();
}

std::span<ProjectedPoint> Session::rotatableRows() {
    return std::span<ProjectedPoint>(points_).first(std::min(points_.size(), table().size()));
}

}  // namespace tesral
