#pragma once

#include <pybind11/pybind11.h>

#include <vector>

#include "engine/generation.h"
#include "engine/zone_section.h"

namespace tesral::python {

/** A completed run as Python sees it: the engine's table, which the arrays look into. */
struct Reflections {
    RunResult result;
    /** A model gave the rows intensities. */
    bool intensities = false;
    /** The integer indices, made once on first use (the table keeps them as floats). */
    pybind11::object indices;
};

/** A zone-axis section: its rows as Reflections and where each lies in the plane. */
struct ZoneReflections : Reflections {
    std::vector<ZoneSpot> spots;
    std::array<double, 3> axis{}, planeX{}, planeY{};
    int rank = 0;
    bool cutByLimits = false;
};

void bindReflections(pybind11::module_& module);

}  // namespace tesral::python
