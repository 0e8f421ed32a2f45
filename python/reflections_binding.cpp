#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>
#include <cstddef>
#include <stdexcept>

#include "engine/approximant_cell.h"
#include "python/python_inputs.h"
#include "python/python_work.h"
#include "python/reflections.h"
#include "report/clipboard_rows.h"
#include "report/report_head.h"
#include "report/report_writer.h"

namespace tesral::python {

namespace py = pybind11;

namespace {

constexpr py::ssize_t kRowBytes = sizeof(ReflectionRecord);

/** The table's rows seen through one element (or `columns` elements from it), read-only. */
template <typename T>
py::array rowView(py::object self, std::size_t offset, py::ssize_t columns = 0) {
    Reflections& r = self.cast<Reflections&>();
    const auto rows = static_cast<py::ssize_t>(r.result.table.size());
    auto* base = reinterpret_cast<const char*>(r.result.table.data());
    std::vector<py::ssize_t> shape{rows};
    std::vector<py::ssize_t> strides{kRowBytes};
    if (columns > 0) {
        shape.push_back(columns);
        strides.push_back(sizeof(T));
    }
    // A table with no rows has no storage; numpy still wants an address.
    static const ReflectionRecord kEmpty{};
    if (!base) base = reinterpret_cast<const char*>(&kEmpty);
    py::array view(py::dtype::of<T>(), shape, strides, base + offset, self);
    py::detail::array_proxy(view.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
    return view;
}

py::array elementView(py::object self, Element element, py::ssize_t columns = 0) {
    return rowView<float>(std::move(self), offsetof(ReflectionRecord, v) + sizeof(float) * element,
                          columns);
}

py::array indicesOf(py::object self) {
    Reflections& r = self.cast<Reflections&>();
    if (r.indices.is_none()) {
        const auto n = static_cast<py::ssize_t>(r.result.indexDimension);
        py::array_t<int> indices({static_cast<py::ssize_t>(r.result.table.size()), n});
        auto out = indices.mutable_unchecked<2>();
        for (py::ssize_t i = 0; i < out.shape(0); ++i)
            for (py::ssize_t j = 0; j < n; ++j)
                out(i, j) = static_cast<int>(
                    r.result.table[static_cast<std::size_t>(i)].h(static_cast<int>(j)));
        r.indices = indices;
    }
    return r.indices;
}

// The approximant cell's h k l of every row: the cell's index matrix times h1..hn.
py::object hklOf(py::object self) {
    const Reflections& r = self.cast<const Reflections&>();
    const RunParameters& run = r.result.parameters;
    if (!run.approximant) return py::none();
    const std::optional<ApproximantCell> cell = runApproximantCell(run);
    if (!cell) return py::none();
    const int n = r.result.indexDimension;
    py::array_t<int> hkl({static_cast<py::ssize_t>(r.result.table.size()), py::ssize_t{3}});
    auto out = hkl.mutable_unchecked<2>();
    for (py::ssize_t i = 0; i < out.shape(0); ++i) {
        const ReflectionRecord& row = r.result.table[static_cast<std::size_t>(i)];
        std::array<int, 6> h{};
        for (int j = 0; j < n; ++j) h[static_cast<std::size_t>(j)] = static_cast<int>(row.h(j));
        const std::array<int, 3> indices = cellIndicesOf(*cell, h);
        for (std::size_t axis = 0; axis < 3; ++axis)
            out(i, static_cast<py::ssize_t>(axis)) = indices[axis];
    }
    return hkl;
}

/** |H-perp| in 1/angstrom, as the hperp column writes it. */
py::array hPerpOf(const Reflections& r) {
    const float scale = perpendicularLengthScale(r.result.parameters);
    py::array_t<float> out(static_cast<py::ssize_t>(r.result.table.size()));
    float* values = out.mutable_data();
    for (std::size_t i = 0; i < r.result.table.size(); ++i)
        values[i] = std::fabs(r.result.table[i].qi()) * scale;
    return out;
}

ReportOptions reportOptionsOf(const Reflections& r, const py::object& columns) {
    return ReportOptions{columnsFrom(columns, r.result.parameters), r.result.parameters.convention,
                         '.'};
}

void raiseWriteError(const std::optional<std::string>& error, const std::string& path) {
    if (error) throwOSError("cannot write '" + path + "': " + *error);
}

}  // namespace

void bindReflections(py::module_& m) {
    py::class_<Reflections>(m, "Reflections", R"(The reflections of one run, in run order.

The arrays look into the engine's own table (no copy per row) and are read-only; they keep
the table alive. ``indices`` (integers) and ``hperp`` are worked out once from it.)")
        .def("__len__", [](const Reflections& r) { return r.result.table.size(); })
        .def("__repr__",
             [](const Reflections& r) {
                 return "<tesral.Reflections: " + std::to_string(r.result.table.size()) +
                        " reflections, " + r.result.header.groupText + ">";
             })
        .def_property_readonly("indices", &indicesOf,
                               "N x 5 (axial) or N x 6 (icosahedral) integer indices h1..hn.")
        .def_property_readonly("hkl", &hklOf,
                               "N x 3 indices h k l in the approximant cell; None without an "
                               "approximant.")
        .def_property_readonly(
            "theta", [](py::object self) { return elementView(std::move(self), kTheta); },
            "Bragg angle theta, degrees (float32).")
        .def_property_readonly(
            "d", [](py::object self) { return elementView(std::move(self), kD); },
            "d-spacing, angstrom (float32).")
        .def_property_readonly(
            "qe", [](py::object self) { return elementView(std::move(self), kQe); },
            "Parallel length qe, 1/angstrom without 2 pi (float32).")
        .def_property_readonly(
            "qi", [](py::object self) { return elementView(std::move(self), kQi); },
            "Perpendicular length qi as stored (the writers show its absolute value).")
        .def_property_readonly(
            "xyz", [](py::object self) { return elementView(std::move(self), kX, 3); },
            "N x 3 parallel-space coordinates x, y, z, 1/angstrom (float32).")
        .def_property_readonly("hperp", &hPerpOf,
                               "|H-perp| in 1/angstrom, as the report's hperp column.")
        .def_property_readonly(
            "intensity",
            [](py::object self) -> py::object {
                if (!self.cast<Reflections&>().intensities) return py::none();
                return elementView(std::move(self), kIntensity);
            },
            "Relative intensity (100 = the strongest row) when the run had a model, else None.")
        .def_property_readonly(
            "direction_class",
            [](py::object self) {
                return rowView<std::uint8_t>(std::move(self),
                                             offsetof(ReflectionRecord, directionClass));
            },
            "0 elsewhere, 1 along a main direction, 2 between two (axial systems; uint8).")
        .def_property_readonly(
            "main",
            [](py::object self) {
                return rowView<bool>(std::move(self), offsetof(ReflectionRecord, isMainSpot));
            },
            "True for the main spots (plus or minus one basis vector).")
        .def_property_readonly(
            "header",
            [](const Reflections& r) {
                return reportHeadLines(r.result.table.size(), r.result.header,
                                       reportOptionsOf(r, py::none()));
            },
            "The report's head lines (count, group and lattice, limits, model, rules and "
            "column headings), without line ends.")
        .def(
            "write_report",
            [](const Reflections& r, const std::string& path, const py::object& columns) {
                const ReportOptions options = reportOptionsOf(r, columns);
                std::optional<std::string> error;
                {
                    const py::gil_scoped_release release;
                    error = writeReportFile(path, r.result.table, r.result.header, options);
                }
                raiseWriteError(error, path);
            },
            py::arg("path"), py::arg("columns") = py::none(),
            R"(Writes the fixed-column report, byte for byte as ``tesral-cli report``.

columns: None (indices, theta, d, qeqi, xyz), a list of names among indices, theta,
d, qeqi, xyz, hperp, intensity, or "none"; a comma-separated string works too.)")
        .def(
            "write_list",
            [](const Reflections& r, const std::string& path, const py::object& columns) {
                const ReportColumns shown = columnsFrom(columns, r.result.parameters);
                std::optional<std::string> error;
                {
                    const py::gil_scoped_release release;
                    error = writeClipboardRowsFile(path, r.result.table, shown, '.');
                }
                raiseWriteError(error, path);
            },
            py::arg("path"), py::arg("columns") = py::none(),
            "Writes the tab-separated rows, byte for byte as ``tesral-cli list``; columns as "
            "for write_report.")
        .def_property_readonly(
            "group", [](const Reflections& r) { return r.result.parameters.groupSymbol; },
            "The group symbol of the run.")
        .def_property_readonly(
            "wavelength", [](const Reflections& r) { return r.result.parameters.wavelength; },
            "The wavelength the run used, angstrom.");
}

}  // namespace tesral::python
