#include "python/pattern_bindings.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <memory>

#include "engine/groups.h"
#include "engine/zone_axis.h"
#include "python/python_work.h"
#include "python/reflections.h"
#include "python/run_binding.h"

namespace tesral::python {

namespace py = pybind11;

namespace {

/** A powder pattern: its lines and the profile on the grid. */
struct PowderPattern {
    physics::PowderResult result;
};

template <typename T, typename F>
py::array_t<T> lineArray(const PowderPattern& p, F value) {
    py::array_t<T> out(static_cast<py::ssize_t>(p.result.lines.size()));
    T* data = out.mutable_data();
    for (std::size_t i = 0; i < p.result.lines.size(); ++i) data[i] = value(p.result.lines[i]);
    return out;
}

std::vector<double> numbersOf(const py::object& value, std::size_t count, const std::string& name) {
    std::vector<double> numbers;
    if (!py::isinstance<py::sequence>(value) || py::isinstance<py::str>(value))
        throw py::value_error(name + " takes " + std::to_string(count) + " numbers");
    for (const py::handle item : value) numbers.push_back(item.cast<double>());
    if (numbers.size() != count)
        throw py::value_error(name + " takes " + std::to_string(count) + " numbers");
    return numbers;
}

/** A zone axis or a reflection: a name ("tenfold") or indices, as the command line reads them. */
std::string axisText(const py::object& value) {
    if (py::isinstance<py::str>(value)) return value.cast<std::string>();
    std::string text;
    for (const py::handle item : value) {
        text += text.empty() ? "" : ",";
        text += py::str(item).cast<std::string>();
    }
    return text;
}

const char* kPowderDoc = R"(The calculated powder pattern of a run with whole orbits.

The run keywords are those of run(); the loop limits are widened to whole orbits and the
theta window follows the 2-theta grid unless theta is given. Without a model the
intensities are those of one Al site with the tiling's window.

two_theta      (start, stop, step) of the grid, degrees (default 10, 120, 0.01)
caglioti       (U, V, W) of the line width, degrees^2 (default 0, 0, 0.01)
eta            the Lorentzian fraction of the pseudo-Voigt, 0..1 (default 0.5)
monochromator  the monochromator's 2-theta (X-rays), degrees; 0 for none
zero           added to every line's 2-theta, degrees
profile        False for the lines only

Returns a PowderPattern: the lines as arrays (two_theta, d, hperp, multiplicity,
intensity with the strongest 100, indices) and grid, profile (highest point 100).)";

const char* kZoneDoc = R"(The section of a run's reflections perpendicular to a zone axis.

The run keywords are those of run(). axis is a name ('tenfold', 'fivefold', ...) or the
axis indices; x_axis a reflection whose in-plane part sets the plane's x; slab the
half-thickness (1/angstrom) of the near-zone slab. Returns a ZoneSection: Reflections with
u, v (in-plane coordinates, 1/angstrom), offset and near per row.)";

}  // namespace

void bindPatterns(py::module_& m) {
    m.def(
        "groups",
        [] {
            py::list records;
            for (const auto system :
                 {QuasicrystalSystem::Octagonal, QuasicrystalSystem::Decagonal,
                  QuasicrystalSystem::Dodecagonal, QuasicrystalSystem::Icosahedral}) {
                const auto groups = groupsOfSystem(system);
                for (std::size_t i = 0; i < groups.size(); ++i) {
                    py::dict record;
                    record["system"] = systemName(system);
                    record["group_index"] = i;
                    record["number"] = groups[i].number;
                    record["symbol"] = std::string(groups[i].symbol);
                    record["conditions"] = std::string(groups[i].conditionText);
                    record["default"] = static_cast<int>(i) == defaultGroupPosition(system);
                    records.append(record);
                }
            }
            return records;
        },
        "The superspace-group catalogue: one dict per group (system, group_index, number, "
        "symbol, conditions, default), in list order.");

    py::class_<PowderPattern>(m, "PowderPattern", "A calculated powder pattern (see powder()).")
        .def("__len__", [](const PowderPattern& p) { return p.result.lines.size(); })
        .def_property_readonly(
            "two_theta",
            [](const PowderPattern& p) {
                return lineArray<double>(p, [](const auto& l) { return l.twoTheta; });
            },
            "The lines' 2-theta, degrees.")
        .def_property_readonly(
            "d",
            [](const PowderPattern& p) {
                return lineArray<double>(p, [](const auto& l) { return l.d; });
            },
            "The lines' d-spacing, angstrom.")
        .def_property_readonly(
            "hperp",
            [](const PowderPattern& p) {
                return lineArray<double>(p, [](const auto& l) { return l.hPerp; });
            },
            "The lines' |H-perp|, 1/angstrom.")
        .def_property_readonly(
            "multiplicity",
            [](const PowderPattern& p) {
                return lineArray<int>(p, [](const auto& l) { return l.multiplicity; });
            },
            "Reflections merged into each line.")
        .def_property_readonly(
            "intensity",
            [](const PowderPattern& p) {
                double top = 0.0;
                for (const physics::PowderLine& l : p.result.lines) top = std::max(top, l.weight);
                return lineArray<double>(
                    p, [top](const auto& l) { return top > 0.0 ? 100.0 * l.weight / top : 0.0; });
            },
            "The lines' intensities with Lp, the strongest 100.")
        .def_property_readonly(
            "indices",
            [](const PowderPattern& p) {
                const auto n = static_cast<py::ssize_t>(p.result.run.indexDimension);
                py::array_t<int> out({static_cast<py::ssize_t>(p.result.lines.size()), n});
                auto o = out.mutable_unchecked<2>();
                for (py::ssize_t i = 0; i < o.shape(0); ++i)
                    for (py::ssize_t j = 0; j < n; ++j)
                        o(i, j) = p.result.lines[static_cast<std::size_t>(i)]
                                      .indices[static_cast<std::size_t>(j)];
                return out;
            },
            "Each line's representative indices (the smallest sum of absolute values).")
        .def_property_readonly(
            "grid",
            [](const PowderPattern& p) {
                const physics::TwoThetaGrid& g = p.result.request.grid;
                py::array_t<double> out(static_cast<py::ssize_t>(p.result.profile.size()));
                for (std::size_t i = 0; i < p.result.profile.size(); ++i)
                    out.mutable_data()[i] = g.at(i);
                return out;
            },
            "The 2-theta grid of the profile, degrees (empty with profile=False).")
        .def_property_readonly(
            "profile",
            [](const PowderPattern& p) {
                return py::array_t<double>(static_cast<py::ssize_t>(p.result.profile.size()),
                                           p.result.profile.data());
            },
            "The profile on the grid, highest point 100.")
        .def_property_readonly(
            "reflections", [](const PowderPattern& p) { return p.result.run.table.size(); },
            "The number of reflections the lines were merged from.");

    m.def(
        "powder",
        [](py::object system, py::object group, py::object groupIndex, py::object convention,
           py::object a, py::object c, py::object limits, py::object theta, py::object qiMax,
           py::object anode, py::object wavelength, py::object model, py::object phasonStrain,
           py::object approximant, py::object maxRows, py::object progress, py::object twoTheta,
           py::object caglioti, double eta, double monochromator, double zero, bool profile) {
            const RunArguments args{system,     group,        groupIndex, convention, a,
                                    c,          limits,       theta,      qiMax,      anode,
                                    wavelength, phasonStrain, approximant};
            const physics::Calculation calculation = calculationFrom(args, model, maxRows);
            physics::PowderRequest request;
            if (!twoTheta.is_none()) {
                const std::vector<double> v = numbersOf(twoTheta, 3, "two_theta");
                request.grid = {v[0], v[1], v[2]};
            }
            if (const std::string problem = physics::gridProblem(request.grid); !problem.empty())
                throw py::value_error("two_theta: " + problem);
            if (!caglioti.is_none()) {
                const std::vector<double> v = numbersOf(caglioti, 3, "caglioti");
                request.shape.u = v[0];
                request.shape.v = v[1];
                request.shape.w = v[2];
            }
            request.shape.eta = eta;
            if (const std::string problem = physics::shapeProblem(request.shape, request.grid);
                !problem.empty())
                throw py::value_error(problem);
            if (monochromator < 0.0 || monochromator >= 180.0)
                throw py::value_error(
                    "monochromator takes the monochromator's 2-theta, 0..180 degrees");
            request.monochromator = monochromator;
            request.zero = zero;
            request.profile = profile;
            request.span = {request.grid.start, request.grid.stop};
            request.keepThetaMin = request.keepThetaMax = !theta.is_none();
            auto pattern = std::make_unique<PowderPattern>();
            runWatched(
                [&](const physics::Watch& watch) {
                    pattern->result = physics::powder(calculation, request, watch);
                },
                progress);
            if (!pattern->result.ok()) throw py::value_error(pattern->result.message);
            return pattern;
        },
        TESRAL_RUN_ARGS, py::arg("two_theta") = py::none(), py::arg("caglioti") = py::none(),
        py::arg("eta") = 0.5, py::arg("monochromator") = 0.0, py::arg("zero") = 0.0,
        py::arg("profile") = true, kPowderDoc);

    py::class_<ZoneReflections, Reflections>(m, "ZoneSection", "A zone-axis section (see zone()).")
        .def_property_readonly(
            "u",
            [](const ZoneReflections& z) {
                py::array_t<double> out(static_cast<py::ssize_t>(z.spots.size()));
                for (std::size_t i = 0; i < z.spots.size(); ++i)
                    out.mutable_data()[i] = z.spots[i].u;
                return out;
            },
            "In-plane coordinate along the plane's x, 1/angstrom.")
        .def_property_readonly(
            "v",
            [](const ZoneReflections& z) {
                py::array_t<double> out(static_cast<py::ssize_t>(z.spots.size()));
                for (std::size_t i = 0; i < z.spots.size(); ++i)
                    out.mutable_data()[i] = z.spots[i].v;
                return out;
            },
            "In-plane coordinate along the plane's y, 1/angstrom.")
        .def_property_readonly(
            "offset",
            [](const ZoneReflections& z) {
                py::array_t<double> out(static_cast<py::ssize_t>(z.spots.size()));
                for (std::size_t i = 0; i < z.spots.size(); ++i)
                    out.mutable_data()[i] = z.spots[i].offset;
                return out;
            },
            "H|| along the axis, 1/angstrom: 0 in the section, up to the slab near it.")
        .def_property_readonly(
            "near",
            [](const ZoneReflections& z) {
                py::array_t<bool> out(static_cast<py::ssize_t>(z.spots.size()));
                for (std::size_t i = 0; i < z.spots.size(); ++i)
                    out.mutable_data()[i] = z.spots[i].nearZone;
                return out;
            },
            "True for the near-zone rows of the slab.")
        .def_readonly("axis", &ZoneReflections::axis, "The axis, a unit vector (x, y, z).")
        .def_readonly("plane_x", &ZoneReflections::planeX, "The plane's x direction.")
        .def_readonly("plane_y", &ZoneReflections::planeY, "The plane's y direction.")
        .def_readonly("rank", &ZoneReflections::rank, "The rank of the section's lattice.")
        .def_readonly("cut_by_limits", &ZoneReflections::cutByLimits,
                      "True when wider loop limits would add members of the windows.");

    m.def(
        "zone",
        [](py::object system, py::object group, py::object groupIndex, py::object convention,
           py::object a, py::object c, py::object limits, py::object theta, py::object qiMax,
           py::object anode, py::object wavelength, py::object model, py::object phasonStrain,
           py::object approximant, py::object maxRows, py::object progress, py::object axis,
           py::object xAxis, double slab) {
            const RunArguments args{system,     group,        groupIndex, convention, a,
                                    c,          limits,       theta,      qiMax,      anode,
                                    wavelength, phasonStrain, approximant};
            // The section of the run's own box: the row bound refuses none, as on the command line.
            physics::Calculation calculation = calculationFrom(args, model, maxRows);
            if (maxRows.is_none()) calculation.maxRows.reset();
            const QuasicrystalSystem sys = calculation.parameters.system;
            if (axis.is_none())
                throw py::value_error("axis is needed: indices n1,n2,... or a named axis");
            ZoneRequest request{};
            if (const std::string problem = parseZoneAxis(axisText(axis), sys, request.axis);
                !problem.empty())
                throw py::value_error(problem);
            if (!xAxis.is_none()) {
                AxisIndices reference{};
                const std::string text = axisText(xAxis);
                const std::string why = parseZoneAxis(text, sys, reference);
                if (!why.empty() || (!text.empty() && text.front() >= 'a' && text.front() <= 'z'))
                    throw py::value_error("x_axis takes the indices of a reflection, h1,h2,...: " +
                                          (why.empty() ? std::string("not a name") : why));
                request.reference = reference;
            }
            if (!(slab >= 0.0))
                throw py::value_error("slab takes a half-thickness in 1/A, 0 or more");
            request.slab = slab;
            physics::ZoneResult zone;
            runWatched(
                [&](const physics::Watch& watch) {
                    zone = physics::zone(calculation, request, watch);
                },
                progress);
            if (!zone.ok()) throw py::value_error(zone.message);
            auto out = std::make_unique<ZoneReflections>();
            out->result = std::move(zone.section.run);
            out->intensities = zone.intensities;
            out->indices = py::none();
            out->spots = std::move(zone.section.spots);
            out->axis = zone.section.axis;
            out->planeX = zone.section.planeX;
            out->planeY = zone.section.planeY;
            out->rank = zone.section.rank;
            out->cutByLimits = zone.cutByLimits;
            return out;
        },
        TESRAL_RUN_ARGS, py::arg("axis") = py::none(), py::arg("x_axis") = py::none(),
        py::arg("slab") = 0.0, kZoneDoc);
}

}  // namespace tesral::python
