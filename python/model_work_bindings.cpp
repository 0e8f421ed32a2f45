#include "python/model_work_bindings.h"

#include "python/model_binding.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <stdexcept>

#include "physics/model_refinement.h"
#include "physics/structure_cif.h"
#include "physics/structure_patch.h"
#include "physics/structure_xyz.h"
#include "python/python_work.h"
#include "python/run_binding.h"

namespace tesral::python {

namespace py = pybind11;

namespace {

const char* kRefineDoc = R"(Refines a model against a measured pattern, peak list or intensity list.

The run keywords are those of run(); model is needed. measured names the file (a powder
pattern, with peaks=True a peak list, or an intensity list); vary lists the parameters
('a', 'c', 'zero', 'scale', 'Al1.occupancy', ...). two_theta limits the pattern, (low, high)
degrees; caglioti, eta, background (Chebyshev terms), max_iterations, monochromator, zero and
tolerance (degrees) are those of tesral-cli refine.

Returns a dict: parameters (name, start, value, su), merit (rp, rwp, rexp, chi2 or r1, wr2,
goof), correlations, model (the refined Model), a, c, zero, scale, iterations, converged,
warning and, for patterns, two_theta, observed, calculated and background arrays.)";

const char* kStructureDoc = R"(The atoms of a model within radius (angstrom) of the origin.

The run keywords give the lattice (system, group, a, c, convention); model is needed.
phason_shift moves the cut (2 numbers axial, 3 icosahedral). Returns a dict: positions
(N x 3, angstrom), site (each atom's site number, from 0), elements (per atom) and xyz
(the extended XYZ text of tesral-cli structure).

With approximant='P/Q' and no radius: one cell of the approximant, its atoms wrapped into
it; the dict adds fractions (N x 3, each in [0, 1)), cell (3 x 3, the vectors a, b, c as
rows, angstrom) and cif (the small-molecule CIF text), and xyz carries the cell's Lattice.)";

py::dict atomsOf(const physics::StructureModel& model,
                 const std::vector<physics::StructureAtom>& atoms) {
    py::array_t<double> positions({static_cast<py::ssize_t>(atoms.size()), py::ssize_t{3}});
    py::array_t<int> sites(static_cast<py::ssize_t>(atoms.size()));
    py::list elements;
    auto p = positions.mutable_unchecked<2>();
    for (std::size_t i = 0; i < atoms.size(); ++i) {
        for (py::ssize_t k = 0; k < 3; ++k)
            p(static_cast<py::ssize_t>(i), k) = atoms[i].position[static_cast<std::size_t>(k)];
        sites.mutable_data()[i] = atoms[i].site;
        elements.append(model.sites[static_cast<std::size_t>(atoms[i].site)].element);
    }
    py::dict out;
    out["positions"] = positions;
    out["site"] = sites;
    out["elements"] = elements;
    return out;
}

py::dict cellOf(const physics::Calculation& calculation,
                const std::vector<physics::CellAtom>& atoms) {
    const RunParameters& p = calculation.parameters;
    const ApproximantCell cell = *runApproximantCell(p);
    std::vector<physics::StructureAtom> placed;
    py::array_t<double> fractions({static_cast<py::ssize_t>(atoms.size()), py::ssize_t{3}});
    auto f = fractions.mutable_unchecked<2>();
    for (std::size_t i = 0; i < atoms.size(); ++i) {
        placed.push_back({physics::cellPosition(cell, atoms[i]), atoms[i].site});
        for (py::ssize_t k = 0; k < 3; ++k)
            f(static_cast<py::ssize_t>(i), k) = atoms[i].fraction[static_cast<std::size_t>(k)];
    }
    py::dict out = atomsOf(*calculation.model, placed);
    py::array_t<double> vectors({py::ssize_t{3}, py::ssize_t{3}});
    for (py::ssize_t r = 0; r < 3; ++r)
        for (py::ssize_t k = 0; k < 3; ++k)
            vectors.mutable_at(r, k) =
                cell.vectors[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)];
    out["fractions"] = fractions;
    out["cell"] = vectors;
    out["cif"] = physics::smallMoleculeCif(
        *calculation.model, "approximant_" + approximantText(*p.approximant), cell, atoms);
    out["xyz"] = physics::extendedXyz(*calculation.model, placed, &cell.vectors);
    return out;
}

py::array_t<double> arrayOf(const std::vector<double>& values) {
    return py::array_t<double>(static_cast<py::ssize_t>(values.size()), values.data());
}

}  // namespace

void bindModelWork(py::module_& m) {
    m.def(
        "refine",
        [](py::object system, py::object group, py::object groupIndex, py::object convention,
           py::object a, py::object c, py::object limits, py::object theta, py::object qiMax,
           py::object anode, py::object wavelength, py::object model, py::object phasonStrain,
           py::object approximant, py::object maxRows, py::object progress,
           const std::string& measured, std::vector<std::string> vary, bool peaks,
           py::object twoTheta, py::object caglioti, double eta, int background, int maxIterations,
           double monochromator, double zero, double tolerance) {
            const RunArguments args{system,     group,        groupIndex, convention, a,
                                    c,          limits,       theta,      qiMax,      anode,
                                    wavelength, phasonStrain, approximant};
            if (model.is_none()) throw py::value_error("model is needed");
            const physics::Calculation start = calculationFrom(args, model, maxRows);
            physics::RefineOptions o;
            o.vary = std::move(vary);
            if (o.vary.empty()) throw py::value_error("vary is needed");
            if (!twoTheta.is_none()) {
                const auto range = twoTheta.cast<std::vector<double>>();
                if (range.size() < 2 || !(range[0] < range[1]))
                    throw py::value_error("two_theta (low, high) needs low below high");
                o.twoThetaRange = std::array<double, 2>{range[0], range[1]};
            }
            if (!caglioti.is_none()) {
                const auto uvw = caglioti.cast<std::vector<double>>();
                if (uvw.size() != 3) throw py::value_error("caglioti takes 3 numbers");
                o.shape.u = uvw[0];
                o.shape.v = uvw[1];
                o.shape.w = uvw[2];
            }
            if (!(eta >= 0.0 && eta <= 1.0)) throw py::value_error("eta takes 0..1");
            o.shape.eta = eta;
            if (background < 1 || background > 20)
                throw py::value_error("background takes 1..20 Chebyshev terms");
            o.backgroundTerms = background;
            if (maxIterations < 1 || maxIterations > 10000)
                throw py::value_error("max_iterations takes 1..10000");
            o.maxIterations = maxIterations;
            if (!(monochromator >= 0.0 && monochromator <= 179.0))
                throw py::value_error(
                    "monochromator takes the monochromator's 2-theta, 0..179 degrees");
            o.monochromator = monochromator;
            o.zero = zero;
            if (!(tolerance > 0.0))
                throw py::value_error("tolerance takes a positive number of degrees");
            o.tolerance = tolerance;
            physics::Observations data;
            try {
                data = physics::readObservationsFile(measured, peaks);
            } catch (const std::runtime_error& e) {
                throw py::value_error(e.what());
            }
            physics::ModelRefinement fit;
            runWatched(
                [&](const physics::Watch& watch) {
                    fit = physics::refineModel(start, data, o, watch);
                },
                progress);
            if (!fit.ok()) throw py::value_error(fit.message);
            py::dict out;
            py::list parameters;
            for (const physics::RefinedValue& v : fit.parameters)
                parameters.append(py::make_tuple(v.name, v.start, v.value, v.su));
            out["parameters"] = parameters;
            py::dict merit;
            if (data.kind == physics::ObservationKind::Intensities) {
                merit["r1"] = fit.merit.r1;
                merit["wr2"] = fit.merit.wr2;
                merit["goof"] = fit.merit.goof;
            } else {
                merit["rp"] = fit.merit.rp;
                merit["rwp"] = fit.merit.rwp;
                merit["rexp"] = fit.merit.rexp;
                merit["chi2"] = fit.merit.chi2;
            }
            out["merit"] = merit;
            py::list correlations;
            for (const physics::Correlation& cr : fit.correlations)
                correlations.append(py::make_tuple(cr.first, cr.second, cr.value));
            out["correlations"] = correlations;
            out["model"] = fit.model;
            out["a"] = fit.a;
            out["c"] = fit.c;
            out["zero"] = fit.zero;
            out["scale"] = fit.scale;
            out["iterations"] = fit.iterations;
            out["converged"] = fit.converged;
            out["warning"] = fit.warning;
            if (data.kind == physics::ObservationKind::Pattern) {
                out["two_theta"] = arrayOf(data.twoTheta);
                out["observed"] = arrayOf(data.value);
                out["calculated"] = arrayOf(fit.calculated);
                out["background"] = arrayOf(fit.backgroundCurve);
            }
            if (!data.note.empty()) out["note"] = data.note;
            return out;
        },
        TESRAL_RUN_ARGS, py::arg("measured"), py::arg("vary"), py::arg("peaks") = false,
        py::arg("two_theta") = py::none(), py::arg("caglioti") = py::none(), py::arg("eta") = 0.5,
        py::arg("background") = 4, py::arg("max_iterations") = 30, py::arg("monochromator") = 0.0,
        py::arg("zero") = 0.0, py::arg("tolerance") = 0.15, kRefineDoc);

    m.def(
        "structure",
        [](py::object system, py::object group, py::object groupIndex, py::object convention,
           py::object a, py::object c, py::object limits, py::object theta, py::object qiMax,
           py::object anode, py::object wavelength, py::object model, py::object phasonStrain,
           py::object approximant, py::object maxRows, py::object progress, py::object radius,
           py::object phasonShift) {
            const RunArguments args{system,     group,        groupIndex, convention, a,
                                    c,          limits,       theta,      qiMax,      anode,
                                    wavelength, phasonStrain, approximant};
            if (model.is_none()) throw py::value_error("model is needed");
            const bool cell = radius.is_none() && !approximant.is_none();
            if (radius.is_none() && !cell)
                throw py::value_error("radius is needed (angstrom), or approximant for one cell");
            physics::PatchRequest request;
            if (!cell) request.radius = radius.cast<double>();
            if (!cell && !(request.radius > 0.0))
                throw py::value_error("radius takes a radius in angstrom, above 0");
            // As on the command line, no row bound applies to a patch.
            static_cast<void>(maxRows);
            const physics::Calculation calculation = calculationFrom(args, model, py::none());
            if (!phasonShift.is_none()) {
                const auto shift = phasonShift.cast<std::vector<double>>();
                const std::size_t count =
                    calculation.parameters.system == QuasicrystalSystem::Icosahedral ? 3 : 2;
                if (shift.size() != count)
                    throw py::value_error("phason_shift takes " + std::to_string(count) +
                                          " numbers for this system");
                for (std::size_t i = 0; i < count; ++i) request.phasonShift[i] = shift[i];
            }
            if (cell) {
                std::vector<physics::CellAtom> atoms;
                runWatched(
                    [&](const physics::Watch&) {
                        atoms = physics::calculationCell(calculation, request.phasonShift);
                    },
                    progress);
                return cellOf(calculation, atoms);
            }
            std::vector<physics::StructureAtom> atoms;
            runWatched(
                [&](const physics::Watch&) {
                    atoms = physics::calculationPatch(calculation, request);
                },
                progress);
            py::dict out = atomsOf(*calculation.model, atoms);
            out["xyz"] = physics::extendedXyz(*calculation.model, atoms);
            return out;
        },
        TESRAL_RUN_ARGS, py::arg("radius") = py::none(), py::arg("phason_shift") = py::none(),
        kStructureDoc);
}

}  // namespace tesral::python
