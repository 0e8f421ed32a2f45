#pragma once

#include <pybind11/pybind11.h>

namespace tesral::python {

/** groups(), powder() and zone(). */
void bindPatterns(pybind11::module_& module);

}  // namespace tesral::python
