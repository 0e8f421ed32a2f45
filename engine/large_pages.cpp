#include "large_pages.h"

#include <cstdint>
#include <thread>
#include <vector>

#include "engine/worker_pool.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tesral {

void prefaultPages(void* data, std::size_t bytes) {
#if defined(MADV_POPULATE_WRITE)
    constexpr std::uintptr_t kPage = 4096;
    constexpr std::size_t kWorthIt = std::size_t{4} << 20;  // smaller buffers gain little
    if (!data || bytes < kWorthIt) return;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t end = (begin + bytes) & ~(kPage - 1);
    const std::uintptr_t pages = (end - first) / kPage;
    const unsigned parts = workerCount();
    std::vector<std::thread> threads;
    for (unsigned p = 0; p < parts; ++p) {
        const std::uintptr_t from = first + pages * p / parts * kPage;
        const std::uintptr_t to = first + pages * (p + 1) / parts * kPage;
        // Failure (an old kernel) only means the pages come in on first touch instead.
        const auto populate = [from, to] {
            if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
        };
        if (p + 1 == parts)
            populate();
        else
            threads.emplace_back(populate);
    }
    for (std::thread& t : threads) t.join();
#else
    (void)data;
    (void)bytes;
#endif
}

}  // namespace tesral
