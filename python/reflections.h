#pragma once

#include <pybind11/pybind11.h>

#include "engine/generation.h"

namespace tesral::python {

/** A completed run as Python sees it: the engine's table, which the arrays look into. */
struct Reflections {
    RunResult result;
    /** A model gave the rows intensities. */
    bool intensities = false;
    /** The integer indices, made once on first use (the table keeps them as floats). */
    pybind11::object indices;
};

void bindReflections(pybind11::module_& module);

}  // namespace tesral::python
