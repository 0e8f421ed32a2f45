#pragma once
// Filters over a diffraction image's pixels, shared among worker threads by rows.
#include <cstddef>
#include <functional>
#include <vector>

namespace tesral::physics {

/** Calls `rows(first, end)` over bands of [0, height) on `threads` threads at once. */
void forRowBands(int height, unsigned threads, const std::function<void(int, int)>& rows);

/** Normalised taps of a Gaussian of width `sigma` pixels, out to 3 sigma either side. */
std::vector<float> gaussianTaps(double sigma);

/**
 * out = the image blurred with `taps` along x, then along y, the edge pixels repeated beyond
 * the edges. `scratch` holds width × height floats; `out` may not be `in`.
 */
void blurSeparable(const float* in, float* out, float* scratch, int width, int height,
                   const std::vector<float>& taps, unsigned threads);

/**
 * Sets `near` (width × height) to 1 where a nonzero `mask` pixel lies within `reach` pixels
 * along both x and y (a square around each masked pixel), else 0.
 */
void dilateSquare(const std::vector<unsigned char>& mask, std::vector<unsigned char>& near,
                  int width, int height, int reach);

}  // namespace tesral::physics
