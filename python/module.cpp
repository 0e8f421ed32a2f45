#include <pybind11/pybind11.h>

#include "python/model_binding.h"
#include "python/model_work_bindings.h"
#include "python/pattern_bindings.h"
#include "python/reflections.h"
#include "python/run_binding.h"

PYBIND11_MODULE(_tesral, m) {
    m.doc() =
        "Tesral's calculations for quasicrystals, with numpy arrays over the engine's tables.";
    tesral::python::bindModels(m);
    tesral::python::bindReflections(m);
    tesral::python::bindRun(m);
    tesral::python::bindPatterns(m);
    tesral::python::bindModelWork(m);
}
