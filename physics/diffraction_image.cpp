#include "physics/diffraction_image.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "physics/image_formats.h"

namespace tesral::physics {

void failImage(const std::string& path, std::string what) {
    for (char& c : what)
        if (c == '\n' || c == '\r') c = ' ';
    while (!what.empty() && what.back() == ' ') what.pop_back();
    throw std::runtime_error(path + ": " + what);
}

void checkImageSize(const std::string& path, long long width, long long height) {
    if (width <= 0 || height <= 0)
        failImage(path, "the image has no pixels (" + std::to_string(width) + " x " +
                            std::to_string(height) + ")");
    if (width > kLargestImageSide || height > kLargestImageSide)
        failImage(path, "the image is " + std::to_string(width) + " x " + std::to_string(height) +
                            " pixels; at most " + std::to_string(kLargestImageSide) +
                            " on a side are read");
}

DiffractionImage readDiffractionImage(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) failImage(path, std::string("cannot open (") + std::strerror(errno) + ")");
    unsigned char magic[8] = {};
    file.read(reinterpret_cast<char*>(magic), sizeof magic);
    const std::streamsize got = file.gcount();
    if (got == 0) failImage(path, "the file is empty");
    const auto starts = [&](const char* bytes, std::streamsize n) {
        return got >= n && std::memcmp(magic, bytes, static_cast<std::size_t>(n)) == 0;
    };
    if (starts("\x89PNG\r\n\x1a\n", 8)) return readPngImage(path);
    if (starts("II*\0", 4) || starts("MM\0*", 4) || starts("II+\0", 4) || starts("MM\0+", 4))
        return readTiffImage(path);
    if (starts("P5", 2)) return readPgmImage(path);
    failImage(path, "not a PNG, TIFF or binary PGM (P5) image");
}

}  // namespace tesral::physics
