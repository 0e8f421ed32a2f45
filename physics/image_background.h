#pragma once
// The slowly varying background of a diffraction image and its noise, from robust statistics
// of square cells, so that spots (a small share of each cell's pixels) do not raise it.
#include <vector>

#include "physics/diffraction_image.h"

namespace tesral::physics {

struct BackgroundGrid {
    int cell = 32;  // pixels on a side
    int columns = 0;
    int rows = 0;
    /** Per cell: the median, the noise (one standard deviation) and the level of the
     * brighter surroundings (for shadows, which pull a cell's own median down). */
    std::vector<float> level, noise, surroundings;

    /** `values` (one per cell) interpolated between cell centres at pixel (x, y). */
    float at(const std::vector<float>& values, double x, double y) const;
    /** The same along the whole row `y` into `out` (one value per image column). */
    void row(const std::vector<float>& values, int y, float* out) const;

    /** Per image column: the cell column left of it and the weight of the one right of it. */
    std::vector<int> left;
    std::vector<float> right;
};

/**
 * The grid of `image`, leaving out the pixels where `masked` (one per pixel) is nonzero. The
 * noise comes from the pixels below the median only, which spots do not reach.
 */
BackgroundGrid backgroundGrid(const DiffractionImage& image,
                              const std::vector<unsigned char>& masked, unsigned threads);

}  // namespace tesral::physics
