#pragma once

// Structure models: the Model and Site classes, included before pybind11/stl.h wherever a model's
// sites are seen, so that they stay one list that Python edits in place.

#include <pybind11/pybind11.h>

#include <vector>

#include "physics/structure_model.h"

PYBIND11_MAKE_OPAQUE(std::vector<tesral::physics::Site>)

namespace tesral::python {

void bindModels(pybind11::module_& module);

}  // namespace tesral::python
