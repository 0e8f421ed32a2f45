#include "python/model_binding.h"

#include <pybind11/stl.h>
#include <pybind11/stl_bind.h>

#include <sstream>
#include <stdexcept>

#include "physics/model_file.h"
#include "physics/one_site_model.h"
#include "python/python_inputs.h"
#include "python/python_work.h"
#include "report/safe_file.h"

namespace tesral::python {

namespace py = pybind11;
using physics::DomainShape;
using physics::RadiationKind;
using physics::Site;
using physics::StructureModel;

namespace {

std::string shapeName(DomainShape shape) {
    switch (shape) {
        case DomainShape::Sphere:
            return "sphere";
        case DomainShape::Disc:
            return "disc";
        case DomainShape::Window:
            return "window";
    }
    return "sphere";
}

DomainShape shapeNamed(const std::string& name) {
    if (name == "sphere") return DomainShape::Sphere;
    if (name == "disc") return DomainShape::Disc;
    if (name == "window") return DomainShape::Window;
    throw py::value_error("domain takes 'sphere', 'disc' or 'window', not '" + name + "'");
}

std::string numberText(double value) {
    return py::str(py::float_(value)).cast<std::string>();
}

/** "xray", "electron:200" or "neutron:1.8", as one_site() takes it. */
std::string radiationName(const physics::Radiation& r) {
    switch (r.kind) {
        case RadiationKind::XRay:
            return "xray";
        case RadiationKind::Electron:
            return "electron:" + numberText(r.kilovolts);
        case RadiationKind::Neutron:
            return "neutron:" + numberText(r.wavelength);
    }
    return "xray";
}

physics::Radiation radiationNamed(const std::string& name) {
    // The one-site model reads the radiation texts; its site is thrown away.
    try {
        return physics::oneSiteModel(QuasicrystalSystem::Decagonal, "window", "Al", name).radiation;
    } catch (const std::invalid_argument& e) {
        throw py::value_error(e.what());
    }
}

void saveModel(const StructureModel& model, const std::string& path) {
    SafeFile file;
    if (!file.open(path) || !file.write(physics::modelText(model)) || !file.commit())
        throwOSError("cannot write '" + path + "': " + file.error());
}

}  // namespace

void bindModels(py::module_& m) {
    py::class_<Site>(m, "Site", R"(One site of the higher-dimensional cell.

element, label, position (fractions of the direct basis, 5 or 6 numbers), occupancy,
domain ('sphere', 'disc' or 'window'), radius (angstrom), scale, inner_radius, inner_scale,
pentagon (decagonal window), b_par and b_perp (square angstrom). Editing a site of
model.sites edits the model.)")
        .def(py::init([](const std::string& element, std::vector<double> position,
                         const std::string& domain, double radius, double scale, double occupancy,
                         const std::string& label, double bPar, double bPerp) {
                 Site site;
                 site.element = element;
                 site.position = std::move(position);
                 site.domain.shape = shapeNamed(domain);
                 site.domain.radius = radius;
                 site.domain.scale = scale;
                 site.occupancy = occupancy;
                 site.label = label;
                 site.bParallel = bPar;
                 site.bPerpendicular = bPerp;
                 return site;
             }),
             py::kw_only(), py::arg("element") = "Al",
             py::arg("position") = std::vector<double>(5, 0.0), py::arg("domain") = "window",
             py::arg("radius") = 0.0, py::arg("scale") = 1.0, py::arg("occupancy") = 1.0,
             py::arg("label") = "", py::arg("b_par") = 0.0, py::arg("b_perp") = 0.0)
        .def_readwrite("element", &Site::element)
        .def_readwrite("label", &Site::label)
        .def_readwrite("position", &Site::position)
        .def_readwrite("occupancy", &Site::occupancy)
        .def_readwrite("b_par", &Site::bParallel)
        .def_readwrite("b_perp", &Site::bPerpendicular)
        .def_property(
            "domain", [](const Site& s) { return shapeName(s.domain.shape); },
            [](Site& s, const std::string& name) { s.domain.shape = shapeNamed(name); })
        .def_property(
            "radius", [](const Site& s) { return s.domain.radius; },
            [](Site& s, double v) { s.domain.radius = v; })
        .def_property(
            "scale", [](const Site& s) { return s.domain.scale; },
            [](Site& s, double v) { s.domain.scale = v; })
        .def_property(
            "inner_radius", [](const Site& s) { return s.domain.innerRadius; },
            [](Site& s, double v) { s.domain.innerRadius = v; })
        .def_property(
            "inner_scale", [](const Site& s) { return s.domain.innerScale; },
            [](Site& s, double v) { s.domain.innerScale = v; })
        .def_property(
            "pentagon", [](const Site& s) { return s.domain.pentagon; },
            [](Site& s, int v) { s.domain.pentagon = v; })
        .def("__eq__", [](const Site& a, const Site& b) { return a == b; })
        .def("__repr__", [](const Site& s) {
            std::string position;
            for (const double x : s.position) {
                position += position.empty() ? "" : ", ";
                position += numberText(x);
            }
            return "<tesral.Site " + (s.label.empty() ? s.element : s.label + " " + s.element) +
                   " at (" + position + "), " + shapeName(s.domain.shape) + ">";
        });

    py::bind_vector<std::vector<Site>>(m, "SiteList", "The sites of a model, edited in place.");

    py::class_<StructureModel>(m, "Model", R"(A structure model: named sites and a radiation.

Model.load(path) reads a model file, save(path) writes one, str(model) is its text.
sites is the list of Site objects (edited in place); radiation is 'xray', 'electron:KV'
or 'neutron:WAVELENGTH'; phason_strain is None or the matrix row by row.)")
        .def(py::init<>())
        .def_static(
            "load",
            [](const std::string& path, const py::object& system) {
                physics::ModelLoad load = system.is_none()
                                              ? physics::loadModel(path)
                                              : physics::loadModel(path, systemFrom(system));
                if (!load.model) throw py::value_error(load.error);
                return std::move(*load.model);
            },
            py::arg("path"), py::arg("system") = py::none(),
            "Reads a model file (TOML); with a system, checks the sites against it too. A "
            "file that cannot be used raises ValueError with 'file:line: what is wrong'.")
        .def("save", &saveModel, py::arg("path"), "Writes the model file.")
        .def("__str__", [](const StructureModel& model) { return physics::modelText(model); })
        .def("__repr__",
             [](const StructureModel& model) {
                 return "<tesral.Model '" + model.name +
                        "': " + std::to_string(model.sites.size()) + " sites, " +
                        radiationName(model.radiation) + ">";
             })
        .def("__eq__", [](const StructureModel& a, const StructureModel& b) { return a == b; })
        .def_readwrite("name", &StructureModel::name)
        .def_readwrite("sites", &StructureModel::sites)
        .def_readonly("source", &StructureModel::source)
        .def_property(
            "radiation", [](const StructureModel& model) { return radiationName(model.radiation); },
            [](StructureModel& model, const std::string& name) {
                model.radiation = radiationNamed(name);
            })
        .def_property(
            "phason_strain",
            [](const StructureModel& model) -> py::object {
                if (!model.phasonStrain) return py::none();
                py::list rows;
                const PhasonStrain& strain = *model.phasonStrain;
                for (int i = 0; i < strain.size; ++i) {
                    py::list row;
                    for (int j = 0; j < strain.size; ++j) row.append(strain.at(i, j));
                    rows.append(row);
                }
                return rows;
            },
            [](StructureModel& model, const py::object& value) {
                if (value.is_none()) {
                    model.phasonStrain.reset();
                    return;
                }
                std::string text;
                std::size_t count = 0;
                for (const py::handle row : value) {
                    if (py::isinstance<py::sequence>(row))
                        for (const py::handle x : row) {
                            text += text.empty() ? "" : ",";
                            text += fieldText(x, "phason_strain");
                            ++count;
                        }
                    else {
                        text += text.empty() ? "" : ",";
                        text += fieldText(row, "phason_strain");
                        ++count;
                    }
                }
                const QuasicrystalSystem system =
                    count == 9 ? QuasicrystalSystem::Icosahedral : QuasicrystalSystem::Decagonal;
                const std::optional<PhasonStrain> strain = readPhasonStrain(text, system);
                if (!strain)
                    throw py::value_error(
                        "phason_strain takes 9 numbers (icosahedral) or 4 (axial), row by row");
                model.phasonStrain = *strain;
            });

    m.def(
        "one_site",
        [](const std::string& domain, const py::object& radius, const py::object& scale,
           const std::string& element, const std::string& radiation, double bPar, double bPerp,
           const py::object& system) {
            std::string text = domain;
            if (domain == "window") {
                if (!scale.is_none()) text += ":" + fieldText(scale, "scale");
            } else if (!radius.is_none()) {
                text += ":" + fieldText(radius, "radius");
            }
            try {
                return physics::oneSiteModel(
                    system.is_none() ? QuasicrystalSystem::Decagonal : systemFrom(system), text,
                    element, radiation, bPar, bPerp);
            } catch (const std::invalid_argument& e) {
                throw py::value_error(e.what());
            }
        },
        py::kw_only(), py::arg("domain") = "window", py::arg("radius") = py::none(),
        py::arg("scale") = py::none(), py::arg("element") = "Al", py::arg("radiation") = "xray",
        py::arg("b_par") = 0.0, py::arg("b_perp") = 0.0, py::arg("system") = py::none(),
        R"(The one-site model of tesral-cli --domain: `element` at the origin.

domain 'sphere' (icosahedral) or 'disc' (axial) with radius (angstrom), or 'window' with an
optional scale (the tiling's exact window); radiation 'xray', 'electron:KV' or
'neutron:WAVELENGTH'; b_par, b_perp the Debye-Waller parameters (square angstrom); system
the run's system (default decagonal), which fixes the position's length.)");
}

}  // namespace tesral::python
