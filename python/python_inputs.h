#pragma once

// Python values as a run's inputs: numbers and strings become the texts the fields hold, so
// that the heads of the outputs show them as a user wrote them.

#include <pybind11/pybind11.h>

#include <optional>
#include <string>

#include "engine/box_count.h"
#include "engine/run_parameters.h"
#include "physics/structure_model.h"
#include "report/report_columns.h"

namespace tesral::python {

/** run()'s keyword values that describe the run; None leaves the input as it starts. */
struct RunArguments {
    pybind11::object system, group, groupIndex, convention, a, c, limits, theta, qiMax, anode,
        wavelength, phasonStrain, approximant;
};

/** The inputs; a value that cannot be used raises ValueError with the command line's text. */
RunInputs runInputsFrom(const RunArguments& args);

/** The text of a number or a string, as the field `name` would hold it. */
std::string fieldText(const pybind11::handle& value, const std::string& name);

/** A system name; unknown ones raise ValueError. */
QuasicrystalSystem systemFrom(const pybind11::handle& name);

/** max_rows: None for the command line's default bound. */
BoxCount maxRowsFrom(const pybind11::object& maxRows);

/** model=: None, a Model, or the path of a model file read for `system`. */
std::optional<physics::StructureModel> modelFrom(const pybind11::object& model,
                                                 QuasicrystalSystem system);

/** columns=: None (the default columns), a list of names or one comma-separated string. */
ReportColumns columnsFrom(const pybind11::object& columns, const RunParameters& run);

}  // namespace tesral::python
