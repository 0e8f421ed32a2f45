#include "python/pattern_bindings.h"

#include <pybind11/stl.h>

#include "engine/groups.h"

namespace tesral::python {

namespace py = pybind11;

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
}

}  // namespace tesral::python
