#include "cli/picture_memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace tesral::cli {

std::uint64_t pictureBytes(PictureFormat format, std::uint64_t spots, QSize size, bool labels) {
    // The largest address space per spot measured under ulimit -v for the 3D plot beyond
    // the run's own (PDF 700, SVG 680, WMF 340 bytes; the buffers grow in steps, so fewer
    // spots cost more each), with some room; the PDF writer, Qt and its fonts take up to
    // 40 MB before the first spot.
    std::uint64_t perSpot = 32;
    if (format == PictureFormat::Pdf) perSpot = 768;
    if (format == PictureFormat::Svg) perSpot = 720;
    if (format == PictureFormat::Wmf) perSpot = 360;
    const bool bitmap = format == PictureFormat::Png || format == PictureFormat::Bmp;
    // The image, a copy while it is encoded and the encoded file.
    const std::uint64_t image =
        bitmap ? 3 * 4 * static_cast<std::uint64_t>(size.width()) * size.height() : 0;
    return (std::uint64_t{48} << 20) + spots * perSpot * (labels ? 2 : 1) + image;
}

std::optional<std::uint64_t> memoryHeadroom() {
    std::optional<std::uint64_t> room;
    rlimit limit{};
    const long page = ::sysconf(_SC_PAGESIZE);
    std::uint64_t mappedPages = 0;
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && page > 0 &&
        std::ifstream("/proc/self/statm") >> mappedPages) {
        const std::uint64_t mapped = mappedPages * static_cast<std::uint64_t>(page);
        room = limit.rlim_cur > mapped ? limit.rlim_cur - mapped : 0;
    }
    // What Linux can give without swapping, caches included, in kB.
    std::ifstream meminfo("/proc/meminfo");
    std::string key, unit;
    std::uint64_t kilobytes = 0;
    while (meminfo >> key >> kilobytes >> unit) {
        if (key != "MemAvailable:") continue;
        room = std::min(room.value_or(UINT64_MAX), kilobytes * 1024);
        break;
    }
    return room;
}

}  // namespace tesral::cli
