#include "physics/image_background.h"

#include <algorithm>
#include <cmath>

#include "physics/image_filters.h"

namespace tesral::physics {

float BackgroundGrid::at(const std::vector<float>& values, double x, double y) const {
    const double u = std::clamp((x + 0.5) / cell - 0.5, 0.0, columns - 1.0);
    const double v = std::clamp((y + 0.5) / cell - 0.5, 0.0, rows - 1.0);
    const int i = std::min(static_cast<int>(u), std::max(0, columns - 2));
    const int j = std::min(static_cast<int>(v), std::max(0, rows - 2));
    const int i1 = std::min(i + 1, columns - 1), j1 = std::min(j + 1, rows - 1);
    const double fu = u - i, fv = v - j;
    const auto c = [&](int a, int b) { return static_cast<double>(values[b * columns + a]); };
    return static_cast<float>((1 - fv) * ((1 - fu) * c(i, j) + fu * c(i1, j)) +
                              fv * ((1 - fu) * c(i, j1) + fu * c(i1, j1)));
}

void BackgroundGrid::row(const std::vector<float>& values, int y, float* out) const {
    const double v = std::clamp((y + 0.5) / cell - 0.5, 0.0, rows - 1.0);
    const int j = std::min(static_cast<int>(v), std::max(0, rows - 2));
    const int j1 = std::min(j + 1, rows - 1);
    const float fv = static_cast<float>(v - j);
    const float* top = values.data() + j * columns;
    const float* bottom = values.data() + j1 * columns;
    const int last = columns - 1;
    for (std::size_t x = 0; x < left.size(); ++x) {
        const int i = left[x], i1 = std::min(i + 1, last);
        const float fu = right[x];
        const float a = (1 - fu) * top[i] + fu * top[i1];
        const float b = (1 - fu) * bottom[i] + fu * bottom[i1];
        out[x] = (1 - fv) * a + fv * b;
    }
}

BackgroundGrid backgroundGrid(const DiffractionImage& image,
                              const std::vector<unsigned char>& masked, unsigned threads) {
    BackgroundGrid g;
    // About 64 cells on the longer side, at least 16 pixels wide.
    g.cell = std::max(16, std::max(image.width, image.height) / 64);
    g.columns = (image.width + g.cell - 1) / g.cell;
    g.rows = (image.height + g.cell - 1) / g.cell;
    const std::size_t cells = static_cast<std::size_t>(g.columns) * g.rows;
    g.left.resize(image.width);
    g.right.resize(image.width);
    for (int x = 0; x < image.width; ++x) {
        const double u = std::clamp((x + 0.5) / g.cell - 0.5, 0.0, g.columns - 1.0);
        g.left[x] = std::min(static_cast<int>(u), std::max(0, g.columns - 2));
        g.right[x] = static_cast<float>(u - g.left[x]);
    }
    g.level.assign(cells, 0.0f);
    g.noise.assign(cells, 0.0f);
    std::vector<unsigned char> known(cells, 0);
    forRowBands(g.rows, threads, [&](int first, int end) {
        std::vector<float> values;
        for (int j = first; j < end; ++j)
            for (int i = 0; i < g.columns; ++i) {
                values.clear();
                const int x1 = std::min(image.width, (i + 1) * g.cell);
                const int y1 = std::min(image.height, (j + 1) * g.cell);
                // Every other pixel along x and y is enough for these statistics.
                for (int y = j * g.cell; y < y1; y += 2)
                    for (int x = i * g.cell; x < x1; x += 2) {
                        const std::size_t p = static_cast<std::size_t>(y) * image.width + x;
                        if (!masked[p]) values.push_back(image.pixels[p]);
                    }
                // Mostly masked cells take their neighbours' values below.
                if (values.size() < 8) continue;
                const auto middle = values.begin() + values.size() / 2;
                std::nth_element(values.begin(), middle, values.end());
                const float median = *middle;
                double below = 0.0;
                for (auto v = values.begin(); v != middle; ++v) below += median - *v;
                const std::size_t c = static_cast<std::size_t>(j) * g.columns + i;
                g.level[c] = median;
                // Half-normal: the mean distance below the median is sigma × sqrt(2 / pi).
                g.noise[c] = static_cast<float>(
                    below / static_cast<double>(middle - values.begin()) / 0.7978845608);
                known[c] = 1;
            }
    });
    // Cells without enough pixels: the mean of known cells around them, growing outwards.
    for (bool missing = true; missing;) {
        missing = false;
        std::vector<unsigned char> now = known;
        bool filled = false;
        for (int j = 0; j < g.rows; ++j)
            for (int i = 0; i < g.columns; ++i) {
                const std::size_t c = static_cast<std::size_t>(j) * g.columns + i;
                if (known[c]) continue;
                double level = 0.0, noise = 0.0;
                int n = 0;
                for (int b = std::max(0, j - 1); b <= std::min(g.rows - 1, j + 1); ++b)
                    for (int a = std::max(0, i - 1); a <= std::min(g.columns - 1, i + 1); ++a)
                        if (known[b * g.columns + a]) {
                            level += g.level[b * g.columns + a];
                            noise += g.noise[b * g.columns + a];
                            ++n;
                        }
                if (n == 0) {
                    missing = true;
                    continue;
                }
                g.level[c] = static_cast<float>(level / n);
                g.noise[c] = static_cast<float>(noise / n);
                now[c] = 1;
                filled = true;
            }
        known.swap(now);
        if (!filled) break;  // nothing known at all
    }
    // The surroundings: the upper quartile of the 5 × 5 cells' medians, which a shadow one
    // or two cells wide does not reach.
    g.surroundings.assign(cells, 0.0f);
    std::vector<float> around;
    for (int j = 0; j < g.rows; ++j)
        for (int i = 0; i < g.columns; ++i) {
            around.clear();
            for (int b = std::max(0, j - 2); b <= std::min(g.rows - 1, j + 2); ++b)
                for (int a = std::max(0, i - 2); a <= std::min(g.columns - 1, i + 2); ++a)
                    around.push_back(g.level[b * g.columns + a]);
            const auto q = around.begin() + (3 * around.size()) / 4;
            std::nth_element(around.begin(), q, around.end());
            g.surroundings[static_cast<std::size_t>(j) * g.columns + i] = *q;
        }
    return g;
}

}  // namespace tesral::physics
