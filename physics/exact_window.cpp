#include "physics/exact_window.h"

#include <stdexcept>

namespace tesral::physics {

// Placeholder until the windows are built; no caller reaches it yet.
std::unique_ptr<ExactWindow> exactWindow(QuasicrystalSystem, const LatticeBasis&,
                                         const OccupationDomain&) {
    throw std::logic_error("exact windows are not built yet");
}

}  // namespace tesral::physics
