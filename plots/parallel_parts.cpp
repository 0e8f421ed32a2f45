#include "plots/parallel_parts.h"

#include <algorithm>
#include <thread>

#include "engine/fan_out.h"

namespace tesral {

int partsFor(std::size_t items, std::size_t minimumPerPart) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t most =
        std::max<std::size_t>(1, items / std::max<std::size_t>(1, minimumPerPart));
    return static_cast<int>(std::min(cores, most));
}

void runParts(int parts, const std::function<void(int part)>& work) {
    if (parts <= 0) return;
    fanOut(
        static_cast<std::size_t>(parts - 1),
        [&work](std::size_t part) { work(static_cast<int>(part) + 1); }, [&work] { work(0); });
}

}  // namespace tesral
