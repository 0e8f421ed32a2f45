#include "plots/parallel_parts.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace tesral {

int partsFor(std::size_t items, std::size_t minimumPerPart) {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t most =
        std::max<std::size_t>(1, items / std::max<std::size_t>(1, minimumPerPart));
    return static_cast<int>(std::min(cores, most));
}

void runParts(int parts, const std::function<void(int part)>& work) {
    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(std::max(parts - 1, 0)));
    for (int part = 1; part < parts; ++part) threads.emplace_back(work, part);
    if (parts > 0) work(0);
    for (std::thread& thread : threads) thread.join();
}

}  // namespace tesral
