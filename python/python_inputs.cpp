#include "python/python_inputs.h"

#include <pybind11/stl.h>

#include <algorithm>
#include <limits>

#include "engine/groups.h"
#include "engine/run_input_names.h"
#include "physics/model_file.h"
#include "report/column_names.h"
#include "report/large_run.h"

namespace tesral::python {

namespace py = pybind11;

namespace {

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

/** A sequence's items, a string being one item rather than its characters. */
std::vector<py::object> itemsOf(const py::handle& value) {
    std::vector<py::object> items;
    if (py::isinstance<py::str>(value) || !py::isinstance<py::sequence>(value))
        items.push_back(py::reinterpret_borrow<py::object>(value));
    else
        for (const py::handle item : value)
            items.push_back(py::reinterpret_borrow<py::object>(item));
    return items;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        text += text.empty() ? "" : ",";
        text += part;
    }
    return text;
}

int groupPositionFrom(const RunArguments& args, QuasicrystalSystem system, bool systemGiven,
                      int base) {
    const auto groups = groupsOfSystem(system);
    if (!args.group.is_none() && !args.groupIndex.is_none())
        throw py::value_error("give either group or group_index");
    if (!args.group.is_none()) {
        const std::string symbol = fieldText(args.group, "group");
        if (const std::optional<int> position = groupPositionNamed(system, symbol))
            return *position;
        throw py::value_error("no group " + quoted(symbol) + " in this system");
    }
    if (!args.groupIndex.is_none()) {
        const int last = static_cast<int>(groups.size()) - 1;
        if (!py::isinstance<py::int_>(args.groupIndex) || args.groupIndex.cast<long long>() < 0 ||
            args.groupIndex.cast<long long>() > last)
            throw py::value_error("group_index must be 0.." + std::to_string(last));
        return args.groupIndex.cast<int>();
    }
    return systemGiven ? defaultGroupPosition(system) : base;
}

}  // namespace

std::string fieldText(const py::handle& value, const std::string& name) {
    std::string text;
    if (py::isinstance<py::str>(value))
        text = value.cast<std::string>();
    else if (!py::isinstance<py::bool_>(value) &&
             (py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value)))
        text = py::str(value).cast<std::string>();
    else
        throw py::value_error(name + " takes a number or a string, not " +
                              py::repr(value).cast<std::string>());
    // A field holds one line of text; a line break would also break the report's header.
    if (std::any_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
        throw py::value_error(name + " must not contain a line break or another control character");
    return text;
}

QuasicrystalSystem systemFrom(const py::handle& name) {
    const std::string text = fieldText(name, "system");
    if (const std::optional<QuasicrystalSystem> system = systemNamed(text)) return *system;
    throw py::value_error("unknown system " + quoted(text));
}

RunInputs runInputsFrom(const RunArguments& args) {
    RunInputs in;
    const bool systemGiven = !args.system.is_none();
    if (systemGiven) in.system = systemFrom(args.system);
    in.groupPosition = groupPositionFrom(args, in.system, systemGiven, in.groupPosition);
    if (!args.convention.is_none()) {
        const std::string name = fieldText(args.convention, "convention");
        const std::optional<MatrixConvention> convention = conventionNamed(name);
        if (!convention) throw py::value_error("unknown convention " + quoted(name));
        in.convention = *convention;
    }
    if (!args.a.is_none()) in.a = fieldText(args.a, "a");
    if (!args.c.is_none()) in.c = fieldText(args.c, "c");
    if (!args.limits.is_none()) {
        const std::vector<py::object> limits = itemsOf(args.limits);
        const std::size_t need = static_cast<std::size_t>(indexDimensionOf(in.system));
        if (limits.size() == 1) {
            // One limit for every index.
            const std::string limit = fieldText(limits[0], "limits");
            for (std::size_t i = 0; i < need; ++i) in.loopLimits[i] = limit;
        } else {
            if (limits.size() != 5 && limits.size() != 6)
                throw py::value_error("limits takes one, five or six values");
            if (limits.size() < need)
                throw py::value_error("limits needs six values for this system");
            for (std::size_t i = 0; i < limits.size(); ++i)
                in.loopLimits[i] = fieldText(limits[i], "limits");
        }
    }
    if (!args.theta.is_none()) {
        const std::vector<py::object> theta = itemsOf(args.theta);
        if (theta.size() != 2)
            throw py::value_error("theta takes (theta min, theta max) in degrees");
        in.thetaMin = fieldText(theta[0], "theta");
        in.thetaMax = fieldText(theta[1], "theta");
    }
    if (!args.qiMax.is_none()) in.qiMax = fieldText(args.qiMax, "qi_max");
    if (!args.anode.is_none()) {
        const std::string anode = fieldText(args.anode, "anode");
        const std::optional<std::string> wavelength = anodeWavelengthText(anode);
        if (!wavelength) throw py::value_error("unknown anode " + quoted(anode));
        in.wavelength = *wavelength;
    }
    if (!args.wavelength.is_none()) in.wavelength = fieldText(args.wavelength, "wavelength");
    if (!args.phasonStrain.is_none()) {
        // The matrix row by row, nested or flat.
        std::vector<std::string> elements;
        for (const py::object& row : itemsOf(args.phasonStrain))
            for (const py::object& element : itemsOf(row))
                elements.push_back(fieldText(element, "phason_strain"));
        in.phasonStrain = joined(elements);
        if (!readPhasonStrain(in.phasonStrain, in.system))
            throw py::value_error(
                "phason_strain takes " + std::to_string(phasonStrainElementCount(in.system)) +
                " numbers for this system (the matrix row by row; 9 icosahedral, 4 axial)");
    }
    if (!args.approximant.is_none()) {
        in.approximant = fieldText(args.approximant, "approximant");
        std::string error;
        if (!parseApproximant(in.approximant, in.system, error))
            throw py::value_error(approximantUsage(in.system));
    }
    return in;
}

BoxCount maxRowsFrom(const py::object& maxRows) {
    if (maxRows.is_none()) return kLargeRunRows;
    if (!py::isinstance<py::int_>(maxRows) || py::isinstance<py::bool_>(maxRows) ||
        maxRows.cast<py::int_>() < py::int_(0))
        throw py::value_error("max_rows takes a whole number of rows");
    if (maxRows.cast<py::int_>() > py::int_(std::numeric_limits<std::uint64_t>::max()))
        return BoxCount{1} << 100;
    return BoxCount{maxRows.cast<std::uint64_t>()};
}

std::optional<physics::StructureModel> modelFrom(const py::object& model,
                                                 QuasicrystalSystem system) {
    if (model.is_none()) return std::nullopt;
    if (py::isinstance<physics::StructureModel>(model))
        return model.cast<physics::StructureModel>();
    physics::ModelLoad load = physics::loadModel(fieldText(model, "model"), system);
    if (!load.model) throw py::value_error(load.error);
    return std::move(load.model);
}

ReportColumns columnsFrom(const py::object& columns, const RunParameters& run) {
    ColumnChoices choices;
    if (!columns.is_none()) {
        std::vector<std::string> names;
        for (const py::object& item : itemsOf(columns)) {
            const std::string text = fieldText(item, "columns");
            std::size_t start = 0;
            while (true) {
                const std::size_t comma = text.find(',', start);
                names.push_back(text.substr(start, comma - start));
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
        }
        std::string unknown;
        const std::optional<ColumnChoices> named = columnChoicesNamed(names, unknown);
        if (!named) throw py::value_error("unknown column " + quoted(unknown));
        choices = *named;
    }
    return ReportColumns::from(choices, run);
}

}  // namespace tesral::python
