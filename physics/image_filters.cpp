#include "physics/image_filters.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "engine/fan_out.h"

namespace tesral::physics {

void forRowBands(int height, unsigned threads, const std::function<void(int, int)>& rows) {
    constexpr int kBand = 16;
    std::atomic<int> next{0};
    const auto work = [&] {
        for (;;) {
            const int first = next.fetch_add(kBand);
            if (first >= height) return;
            rows(first, std::min(height, first + kBand));
        }
    };
    const unsigned extra = std::max(1u, threads) - 1;
    fanOut(
        extra, [&](std::size_t) { work(); }, work);
}

std::vector<float> gaussianTaps(double sigma) {
    const int reach = std::max(1, static_cast<int>(std::ceil(3.0 * sigma)));
    std::vector<float> taps(2 * reach + 1);
    double sum = 0.0;
    for (int i = -reach; i <= reach; ++i) {
        const double v = std::exp(-0.5 * i * i / (sigma * sigma));
        taps[i + reach] = static_cast<float>(v);
        sum += v;
    }
    for (float& t : taps) t = static_cast<float>(t / sum);
    return taps;
}

void blurSeparable(const float* in, float* out, float* scratch, int width, int height,
                   const std::vector<float>& taps, unsigned threads) {
    const int reach = static_cast<int>(taps.size() / 2);
    const auto w = static_cast<std::size_t>(width);
    // Along x: each row padded by its edge pixels, then summed tap by tap so that the inner
    // loop runs over x and vectorises.
    forRowBands(height, threads, [&](int first, int end) {
        std::vector<float> padded(w + 2 * reach);
        for (int y = first; y < end; ++y) {
            const float* row = in + y * w;
            std::fill(padded.begin(), padded.begin() + reach, row[0]);
            std::copy(row, row + width, padded.begin() + reach);
            std::fill(padded.begin() + reach + width, padded.end(), row[width - 1]);
            float* target = scratch + y * w;
            std::fill(target, target + width, 0.0f);
            for (std::size_t k = 0; k < taps.size(); ++k) {
                const float t = taps[k];
                const float* source = padded.data() + k;
                for (std::size_t x = 0; x < w; ++x) target[x] += t * source[x];
            }
        }
    });
    // Along y, the same way over whole rows.
    forRowBands(height, threads, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            float* target = out + y * w;
            std::fill(target, target + width, 0.0f);
            for (int k = -reach; k <= reach; ++k) {
                const float t = taps[k + reach];
                const float* source = scratch + std::clamp(y + k, 0, height - 1) * w;
                for (std::size_t x = 0; x < w; ++x) target[x] += t * source[x];
            }
        }
    });
}

void dilateSquare(const std::vector<unsigned char>& mask, std::vector<unsigned char>& near,
                  int width, int height, int reach) {
    const auto w = static_cast<std::size_t>(width);
    near.assign(mask.size(), 0);
    // Along x: the distance to the nearest masked pixel on either side.
    std::vector<unsigned char> alongX(mask.size(), 0);
    for (int y = 0; y < height; ++y) {
        const unsigned char* m = mask.data() + y * w;
        unsigned char* o = alongX.data() + y * w;
        int last = -1'000'000;
        for (int x = 0; x < width; ++x) {
            if (m[x]) last = x;
            if (x - last <= reach) o[x] = 1;
        }
        last = 1'000'000;
        for (int x = width - 1; x >= 0; --x) {
            if (m[x]) last = x;
            if (last - x <= reach) o[x] = 1;
        }
    }
    // Along y over the result, column by column through whole rows.
    std::vector<int> last(w, -1'000'000);
    for (int y = 0; y < height; ++y)
        for (std::size_t x = 0; x < w; ++x) {
            if (alongX[y * w + x]) last[x] = y;
            if (y - last[x] <= reach) near[y * w + x] = 1;
        }
    std::fill(last.begin(), last.end(), 1'000'000);
    for (int y = height - 1; y >= 0; --y)
        for (std::size_t x = 0; x < w; ++x) {
            if (alongX[y * w + x]) last[x] = y;
            if (last[x] - y <= reach) near[y * w + x] = 1;
        }
}

}  // namespace tesral::physics
