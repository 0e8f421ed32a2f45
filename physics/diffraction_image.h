#pragma once
// A measured diffraction photograph as greyscale numbers, read without Qt so that the command
// line has it: PNG (8, 16 bit), TIFF (8, 16 bit, 32-bit float; any strips) and binary PGM.
#include <string>
#include <vector>

namespace tesral::physics {

/** Images wider or taller than this are refused. */
constexpr int kLargestImageSide = 16384;

struct DiffractionImage {
    int width = 0;
    int height = 0;
    /** Row by row from the top, x to the right; colour images hold their luminance. */
    std::vector<float> pixels;
    /**
     * The value a pixel clips at: the largest the file's format holds (255, 65535), or for
     * float images the largest pixel. Pixels at it are saturated.
     */
    float saturation = 0.0f;
    /** The file it was read from. */
    std::string source;

    float at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

/**
 * Reads the image at `path`, deciding the format by its first bytes. Throws std::runtime_error
 * with one line "path: what is wrong" for a file that is none of the formats, truncated, or
 * larger than kLargestImageSide on a side.
 */
DiffractionImage readDiffractionImage(const std::string& path);

}  // namespace tesral::physics
