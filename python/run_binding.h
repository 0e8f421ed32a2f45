#pragma once

#include <pybind11/pybind11.h>

#include <optional>

#include "physics/calculation.h"
#include "python/python_inputs.h"

namespace tesral::python {

/** The calculation of run()'s values; values that cannot be used raise ValueError. */
physics::Calculation calculationFrom(const RunArguments& args, const pybind11::object& model,
                                     const pybind11::object& maxRows);

/** The run keywords, in the order every calculation function takes them. */
#define TESRAL_RUN_ARGS                                                                            \
    pybind11::kw_only(),                                                                           \
        pybind11::arg("system") = pybind11::none(), pybind11::arg("group") = pybind11::none(),     \
        pybind11::arg("group_index") = pybind11::none(),                                           \
        pybind11::arg("convention") = pybind11::none(), pybind11::arg("a") = pybind11::none(),     \
        pybind11::arg("c") = pybind11::none(), pybind11::arg("limits") = pybind11::none(),         \
        pybind11::arg("theta") = pybind11::none(), pybind11::arg("qi_max") = pybind11::none(),     \
        pybind11::arg("anode") = pybind11::none(), pybind11::arg("wavelength") = pybind11::none(), \
        pybind11::arg("model") = pybind11::none(),                                                 \
        pybind11::arg("phason_strain") = pybind11::none(),                                         \
        pybind11::arg("approximant") = pybind11::none(),                                           \
        pybind11::arg("max_rows") = pybind11::none(), pybind11::arg("progress") = pybind11::none()

void bindRun(pybind11::module_& module);

}  // namespace tesral::python
