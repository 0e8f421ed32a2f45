#include "app/memory_info.h"

#include <unistd.h>

#include <fstream>
#include <string>

namespace tesral {

std::optional<std::uint64_t> availableMemoryBytes() {
    // Linux tells the memory it can free (caches included) as MemAvailable, in kB.
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (meminfo >> key >> kilobytes >> unit)
        if (key == "MemAvailable:") return kilobytes * 1024;
#if defined(_SC_AVPHYS_PAGES) && defined(_SC_PAGESIZE)
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long size = sysconf(_SC_PAGESIZE);
    if (pages > 0 && size > 0)
        return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(size);
#endif
    return std::nullopt;
}

}  // namespace tesral
