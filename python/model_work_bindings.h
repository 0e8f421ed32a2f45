#pragma once

#include <pybind11/pybind11.h>

namespace tesral::python {

/** refine() and structure(): work on a model against measurements, or in real space. */
void bindModelWork(pybind11::module_& module);

}  // namespace tesral::python
