#include "python/run_binding.h"

#include <utility>

#include "python/python_work.h"
#include "python/reflections.h"

namespace tesral::python {

namespace py = pybind11;

namespace {

const char* kRunDoc = R"(Runs the generation and returns its Reflections.

Every value may be a number or the text as typed into the window's field (the report's head
shows it as given); None keeps the start-up input (decagonal P10/mmm, a 2.82, c 12.06,
limits 2, theta 1-30, qi max 1, Mo K-alpha).

system       'octagonal', 'decagonal', 'dodecagonal' or 'icosahedral'
group        group symbol ('P10/mmm'), or group_index: position in the system's list
             (without either, the system's default group)
convention   'yamamoto' or 'steurer'
a, c         lattice constants, angstrom
limits       loop limits: one for every index, or five or six values
theta        (theta min, theta max), degrees
qi_max       largest perpendicular length qi
anode        'Mo', 'Cu', 'Ni', 'Co', 'Fe', 'Cr', 'Ag' or 'US'; or wavelength (angstrom)
model        a Model, or the path of a model file: the rows get intensities
phason_strain  the linear phason strain M, row by row (4 numbers axial, 9 icosahedral),
             flat or nested; positions use H|| - M^T H-perp
approximant  a rational approximant, '1/1', '2/1', ... (icosahedral) or 'P/Q' / 'P/Q,R/S'
             (axial): the strain that makes the cell; Reflections.hkl gives its indices
max_rows     refuse a run that may keep more rows (default 50 000 000)
progress     called with the fraction done (0..1) while the run works

A value that cannot be used raises ValueError with the command line's message; Ctrl+C
stops the run with KeyboardInterrupt.)";

}  // namespace

physics::Calculation calculationFrom(const RunArguments& args, const py::object& model,
                                     const py::object& maxRows) {
    const RunInputs inputs = runInputsFrom(args);
    std::optional<physics::StructureModel> structure = modelFrom(model, inputs.system);
    const BoxCount bound = maxRowsFrom(maxRows);
    std::string error;
    std::optional<physics::Calculation> calculation =
        physics::calculationFrom(inputs, std::move(structure), error);
    if (!calculation) throw py::value_error(error);
    calculation->maxRows = bound;
    return std::move(*calculation);
}

void bindRun(py::module_& m) {
    m.def(
        "run",
        [](py::object system, py::object group, py::object groupIndex, py::object convention,
           py::object a, py::object c, py::object limits, py::object theta, py::object qiMax,
           py::object anode, py::object wavelength, py::object model, py::object phasonStrain,
           py::object approximant, py::object maxRows, py::object progress) {
            const RunArguments args{system,     group,        groupIndex, convention, a,
                                    c,          limits,       theta,      qiMax,      anode,
                                    wavelength, phasonStrain, approximant};
            const physics::Calculation calculation = calculationFrom(args, model, maxRows);
            const PreparedRun prepared = physics::prepare(calculation);
            if (!prepared.ready()) throw py::value_error(prepared.message);
            auto reflections = std::make_unique<Reflections>();
            reflections->intensities = calculation.model.has_value();
            reflections->indices = py::none();
            RunOutcome outcome;
            runWatched(
                [&](const physics::Watch& watch) {
                    RunJobOptions job;
                    job.points = false;
                    job.stop = watch.stop;
                    job.progress = watch.progress;
                    outcome = physics::run(calculation, prepared, std::move(job));
                },
                progress);
            reflections->result = std::move(outcome.result);
            const RunResult& result = reflections->result;
            if (result.status != RunStatus::Completed)
                throw py::value_error(result.message.empty() ? "The run was cancelled."
                                                             : result.message);
            return reflections;
        },
        TESRAL_RUN_ARGS, kRunDoc);
}

}  // namespace tesral::python
