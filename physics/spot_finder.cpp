#include "physics/spot_finder.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

#include "engine/worker_pool.h"
#include "physics/image_background.h"
#include "physics/image_filters.h"

namespace tesral::physics {

namespace {

// Why a pixel takes no part in a spot.
constexpr unsigned char kSaturated = 1;  // also pixels that are no number
constexpr unsigned char kShadow = 2;
constexpr unsigned char kBeam = 4;

/** The ratio of the wide Gaussian to the spot-scale one in the difference of Gaussians. */
constexpr double kWideRatio = 1.6;

/** A blurred pixel this far below its brighter surroundings lies in a shadow. */
constexpr float kShadowShare = 0.5f;

struct Candidate {
    int x = 0;
    int y = 0;
    float score = 0.0f;  // blob response over its noise
};

/** The offset (-1..1) of the peak through three equally spaced samples: a Gaussian's, on
 * their logarithms when all are positive, else a parabola's. */
double peakOffset(double minus, double centre, double plus) {
    if (minus > 0.0 && centre > 0.0 && plus > 0.0) {
        const double a = std::log(minus), b = std::log(centre), c = std::log(plus);
        const double curvature = a - 2.0 * b + c;
        if (curvature < 0.0) return std::clamp(0.5 * (a - c) / curvature, -1.0, 1.0);
    }
    const double curvature = minus - 2.0 * centre + plus;
    return curvature < 0.0 ? std::clamp(0.5 * (minus - plus) / curvature, -1.0, 1.0) : 0.0;
}

/** The Gaussian width squared through three samples of a positive peak; 0 when not one. */
double peakWidthSquared(double minus, double centre, double plus) {
    if (!(minus > 0.0 && centre > 0.0 && plus > 0.0)) return 0.0;
    const double curvature = std::log(minus) - 2.0 * std::log(centre) + std::log(plus);
    return curvature < 0.0 ? -1.0 / curvature : 0.0;
}

double sumOfSquares(const std::vector<float>& taps) {
    double s = 0.0;
    for (const float t : taps) s += double(t) * t;
    return s;
}

/** Σ a·b of two centred tap lists. */
double sumOfProducts(const std::vector<float>& a, const std::vector<float>& b) {
    const int ra = static_cast<int>(a.size() / 2), rb = static_cast<int>(b.size() / 2);
    double s = 0.0;
    for (int k = -std::min(ra, rb); k <= std::min(ra, rb); ++k) s += double(a[k + ra]) * b[k + rb];
    return s;
}

/** A pixel of the ring around a spot, relative to the spot's pixel. */
struct RingPixel {
    int dx = 0;
    int dy = 0;
    float value = 0.0f;
};

/** The background under a spot: a plane through the ring around it. */
struct Plane {
    double level = 0.0;  // at the spot's pixel
    double gx = 0.0;
    double gy = 0.0;
    double at(double dx, double dy) const { return level + gx * dx + gy * dy; }
};

/**
 * The least-squares plane through `ring`, fitted again without the pixels farther than
 * `clip` from the first (neighbouring spots). Returns the number of pixels of the second fit.
 */
std::size_t fitPlane(const std::vector<RingPixel>& ring, double clip, Plane& plane) {
    std::size_t used = 0;
    for (int pass = 0; pass < 2; ++pass) {
        double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0, syy = 0, sv = 0, sxv = 0, syv = 0;
        for (const RingPixel& r : ring) {
            if (pass == 1 && std::abs(r.value - plane.at(r.dx, r.dy)) > clip) continue;
            n += 1, sx += r.dx, sy += r.dy, sxx += r.dx * r.dx, sxy += r.dx * r.dy;
            syy += r.dy * r.dy, sv += r.value, sxv += r.dx * r.value, syv += r.dy * r.value;
        }
        // Cramer's rule on the normal equations.
        const auto det3 = [](double a, double b, double c, double d, double e, double f, double g,
                             double h, double i) {
            return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
        };
        const double d = det3(n, sx, sy, sx, sxx, sxy, sy, sxy, syy);
        if (!(std::abs(d) > 1e-9)) return 0;
        plane.level = det3(sv, sx, sy, sxv, sxx, sxy, syv, sxy, syy) / d;
        plane.gx = det3(n, sv, sy, sx, sxv, sxy, sy, syv, syy) / d;
        plane.gy = det3(n, sx, sv, sx, sxx, sxv, sy, sxy, syv) / d;
        used = static_cast<std::size_t>(n);
    }
    return used;
}

struct Search {
    const DiffractionImage& image;
    const float* pixels;
    int w, h;
    unsigned threads;
    std::vector<unsigned char> mask;  // kSaturated | kShadow | kBeam per pixel
    BackgroundGrid grid;
    std::vector<float> smooth, scratch, band;

    std::size_t at(int x, int y) const { return static_cast<std::size_t>(y) * w + x; }

    /** Pixels well below their brighter surroundings, in the image blurred at `taps`. */
    void markShadows(const std::vector<float>& taps) {
        const float blurNoise = static_cast<float>(sumOfSquares(taps));
        forRowBands(h, threads, [&](int first, int end) {
            std::vector<float> around(w), noise(w);
            for (int y = first; y < end; ++y) {
                grid.row(grid.surroundings, y, around.data());
                grid.row(grid.noise, y, noise.data());
                for (int x = 0; x < w; ++x) {
                    const float v = smooth[at(x, y)];
                    if (v < kShadowShare * around[x] && around[x] - v > 5.0f * noise[x] * blurNoise)
                        mask[at(x, y)] |= kShadow;
                }
            }
        });
    }

    /**
     * The direct beam: the largest patch of saturated pixels, and a disc around it half as
     * wide again where its steep flanks would look like spots.
     */
    void markBeam(double margin) {
        std::vector<unsigned char> seen(mask.size(), 0);
        std::vector<int> stack;
        std::size_t best = 0;
        double bestX = 0, bestY = 0, bestReach = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (!(mask[at(x, y)] & kSaturated) || seen[at(x, y)]) continue;
                stack.assign(1, static_cast<int>(at(x, y)));
                seen[at(x, y)] = 1;
                double sx = 0, sy = 0;
                std::size_t count = 0;
                int x0 = x, x1 = x, y0 = y, y1 = y;
                while (!stack.empty()) {
                    const int p = stack.back();
                    stack.pop_back();
                    const int px = p % w, py = p / w;
                    sx += px, sy += py, ++count;
                    x0 = std::min(x0, px), x1 = std::max(x1, px);
                    y0 = std::min(y0, py), y1 = std::max(y1, py);
                    for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                        const int qx = px + dx, qy = py + dy;
                        if (qx < 0 || qy < 0 || qx >= w || qy >= h) continue;
                        const std::size_t q = at(qx, qy);
                        if (seen[q] || !(mask[q] & kSaturated)) continue;
                        seen[q] = 1;
                        stack.push_back(static_cast<int>(q));
                    }
                }
                if (count > best) {
                    best = count;
                    bestX = sx / count, bestY = sy / count;
                    bestReach = 0.5 * std::hypot(x1 - x0 + 1.0, y1 - y0 + 1.0);
                }
            }
        if (best < 5) return;
        const double r = 1.5 * bestReach + margin;
        for (int y = std::max(0, int(bestY - r)); y <= std::min(h - 1, int(bestY + r) + 1); ++y)
            for (int x = std::max(0, int(bestX - r)); x <= std::min(w - 1, int(bestX + r) + 1); ++x)
                if ((x - bestX) * (x - bestX) + (y - bestY) * (y - bestY) <= r * r)
                    mask[at(x, y)] |= kBeam;
    }

    /**
     * Moves (cx, cy) to the centre of the spot there: the centroid of the pixels above
     * `background` weighted by a Gaussian of the spot's own width, which for a Gaussian spot
     * lies halfway between the weight's centre and the spot's. Only the pixels within `reach`
     * of the spot's pixel (x0, y0), the plane's origin, are used.
     */
    void refineCentre(int x0, int y0, double& cx, double& cy, const Plane& background, double width,
                      int reach) const {
        const double weightWidth = width;
        const double gain = 1.0 + (width * width + 1.0 / 12.0) / (weightWidth * weightWidth);
        const double inverse = -0.5 / (weightWidth * weightWidth);
        for (int iteration = 0; iteration < 4; ++iteration) {
            double sw = 0.0, sx = 0.0, sy = 0.0;
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dx = -reach; dx <= reach; ++dx) {
                    const int x = x0 + dx, y = y0 + dy;
                    const double ex = x - cx, ey = y - cy;
                    const double weight = std::exp(inverse * (ex * ex + ey * ey)) *
                                          (pixels[at(x, y)] - background.at(dx, dy));
                    sw += weight, sx += weight * ex, sy += weight * ey;
                }
            if (!(sw > 0.0)) return;
            const double mx = std::clamp(gain * sx / sw, -1.0, 1.0);
            const double my = std::clamp(gain * sy / sw, -1.0, 1.0);
            cx += mx, cy += my;
            if (std::abs(cx - x0) > 2.0 || std::abs(cy - y0) > 2.0) {
                cx -= mx, cy -= my;
                return;
            }
            if (mx * mx + my * my < 1e-6) return;
        }
    }

    /** The median spot width from the clearest peaks of the image blurred at `scale`. */
    double spotWidth(double scale, const std::vector<unsigned char>& near) const {
        const float blurNoise = static_cast<float>(sumOfSquares(gaussianTaps(scale)));
        std::vector<std::pair<float, double>> peaks;  // height over noise, width²
        std::vector<float> level(w), noise(w);
        for (int y = 2; y < h - 2; ++y) {
            grid.row(grid.level, y, level.data());
            grid.row(grid.noise, y, noise.data());
            for (int x = 2; x < w - 2; ++x) {
                const std::size_t p = at(x, y);
                const float v = smooth[p];
                if (near[p] || v - level[x] < 20.0f * noise[x] * blurNoise) continue;
                if (!(v > smooth[p - 1] && v >= smooth[p + 1] && v > smooth[p - w] &&
                      v >= smooth[p + w]))
                    continue;
                const double b = level[x];
                const double sx = peakWidthSquared(smooth[p - 1] - b, v - b, smooth[p + 1] - b);
                const double sy = peakWidthSquared(smooth[p - w] - b, v - b, smooth[p + w] - b);
                if (sx > 0 && sy > 0)
                    peaks.emplace_back((v - level[x]) / noise[x], 0.5 * (sx + sy));
            }
        }
        if (peaks.size() < 3) return scale;
        std::sort(peaks.begin(), peaks.end(), [](auto& a, auto& b) { return a.first > b.first; });
        peaks.resize(std::min<std::size_t>(peaks.size(), 200));
        std::vector<double> widths;
        widths.reserve(peaks.size());
        for (const auto& [height, width2] : peaks)
            widths.push_back(std::sqrt(std::max(0.25, width2 - scale * scale)));
        std::nth_element(widths.begin(), widths.begin() + widths.size() / 2, widths.end());
        return std::clamp(widths[widths.size() / 2], 0.7, 25.0);
    }
};

}  // namespace

std::vector<MeasuredSpot> findSpots(const DiffractionImage& image, const SpotSearch& search,
                                    const std::atomic<bool>* stop) {
    const int w = image.width, h = image.height;
    const std::size_t n = static_cast<std::size_t>(w) * std::max(h, 0);
    if (w < 8 || h < 8 || image.pixels.size() != n) return {};
    const auto stopped = [stop] { return stop && stop->load(std::memory_order_relaxed); };

    Search s{image, image.pixels.data(), w, h, std::clamp(workerCount(), 1u, 8u), {}, {}, {}, {},
             {}};
    s.mask.assign(n, 0);
    std::vector<float> cleaned;
    for (std::size_t i = 0; i < n; ++i) {
        const float v = image.pixels[i];
        if (!std::isfinite(v)) {
            if (cleaned.empty()) cleaned = image.pixels;
            cleaned[i] = 0.0f;
            s.mask[i] = kSaturated;
        } else if (image.saturation > 0.0f && v >= image.saturation) {
            s.mask[i] = kSaturated;
        }
    }
    if (!cleaned.empty()) s.pixels = cleaned.data();
    s.grid = backgroundGrid(image, s.mask, s.threads);
    // Whole counts can not be known better than their rounding.
    const float noiseFloor = image.saturation >= 255.0f ? 0.29f : 1e-4f * image.saturation;
    for (float& v : s.grid.noise) v = std::max(v, noiseFloor);
    if (stopped()) return {};

    double scale = search.spotSigma > 0.0 ? search.spotSigma : 1.5;
    s.smooth.resize(n);
    s.scratch.resize(n);
    blurSeparable(s.pixels, s.smooth.data(), s.scratch.data(), w, h, gaussianTaps(scale),
                  s.threads);
    s.markShadows(gaussianTaps(scale));
    s.markBeam(4.0 * scale);
    std::vector<unsigned char> near;
    dilateSquare(s.mask, near, w, h, static_cast<int>(std::ceil(4.0 * scale)) + 1);
    if (stopped()) return {};

    double spotSigma = scale;
    if (search.spotSigma <= 0.0) {
        spotSigma = s.spotWidth(scale, near);
        if (std::abs(spotSigma - scale) > 0.15 * scale) {
            scale = spotSigma;
            blurSeparable(s.pixels, s.smooth.data(), s.scratch.data(), w, h, gaussianTaps(scale),
                          s.threads);
            dilateSquare(s.mask, near, w, h, static_cast<int>(std::ceil(4.0 * scale)) + 1);
        }
    }
    if (stopped()) return {};

    // The blob response: the image at the spot scale less the image at a wider one.
    const std::vector<float> taps = gaussianTaps(scale),
                             wideTaps = gaussianTaps(kWideRatio * scale);
    s.band.resize(n);
    blurSeparable(s.pixels, s.band.data(), s.scratch.data(), w, h, wideTaps, s.threads);
    const double a = sumOfSquares(taps), b = sumOfSquares(wideTaps),
                 c = sumOfProducts(taps, wideTaps);
    const float bandNoise =
        static_cast<float>(std::sqrt(std::max(1e-12, a * a + b * b - 2 * c * c)));
    const float threshold = static_cast<float>(0.7 * search.significance);
    std::vector<Candidate> candidates;
    std::mutex gathered;
    forRowBands(h, s.threads, [&](int first, int end) {
        for (std::size_t p = s.at(0, first); p < s.at(0, end); ++p)
            s.band[p] = s.smooth[p] - s.band[p];
    });
    forRowBands(h, s.threads, [&](int first, int end) {
        std::vector<float> noise(w);
        std::vector<Candidate> found;
        for (int y = std::max(first, 1); y < std::min(end, h - 1); ++y) {
            s.grid.row(s.grid.noise, y, noise.data());
            const float* d = s.band.data() + s.at(0, y);
            const unsigned char* close = near.data() + s.at(0, y);
            for (int x = 1; x < w - 1; ++x) {
                const float v = d[x];
                if (v <= 0.0f || close[x]) continue;
                // Ties go to the first pixel in reading order.
                if (!(v > d[x - 1] && v >= d[x + 1] && v > d[x - w - 1] && v > d[x - w] &&
                      v > d[x - w + 1] && v >= d[x + w - 1] && v >= d[x + w] && v >= d[x + w + 1]))
                    continue;
                const float score = v / (noise[x] * bandNoise);
                if (score >= threshold) found.push_back({x, y, score});
            }
        }
        std::lock_guard<std::mutex> lock(gathered);
        candidates.insert(candidates.end(), found.begin(), found.end());
    });
    if (stopped()) return {};
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& p, const Candidate& q) {
        return p.score != q.score ? p.score > q.score : p.y != q.y ? p.y < q.y : p.x < q.x;
    });

    // Each candidate measured: centre, background from a ring around it, intensity inside.
    const double aperture = std::max(2.0, 3.0 * spotSigma);
    const double ringInner = aperture + 1.0, ringOuter = ringInner + std::max(3.0, 2.0 * spotSigma);
    const double apart = std::max(2.0, 2.0 * spotSigma);
    // The share of a Gaussian spot inside the aperture, which the intensities are divided by.
    const double captured = 1.0 - std::exp(-0.5 * aperture * aperture / (spotSigma * spotSigma));
    const int reach = static_cast<int>(std::ceil(ringOuter));
    std::vector<MeasuredSpot> spots;
    std::vector<RingPixel> ring;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        if (k % 64 == 0 && stopped()) break;
        int x = candidates[k].x, y = candidates[k].y;
        // Up to the spot-scale image's own maximum.
        for (int step = 0; step < 3; ++step) {
            int bx = x, by = y;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int qx = std::clamp(x + dx, 1, w - 2), qy = std::clamp(y + dy, 1, h - 2);
                    if (s.smooth[s.at(qx, qy)] > s.smooth[s.at(bx, by)]) bx = qx, by = qy;
                }
            if (bx == x && by == y) break;
            x = bx, y = by;
        }
        if (x < reach || y < reach || x >= w - reach || y >= h - reach) continue;
        ring.clear();
        bool blocked = false;
        for (int dy = -reach; dy <= reach && !blocked; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                const double r2 = dx * dx + dy * dy;
                const std::size_t p = s.at(x + dx, y + dy);
                if (r2 <= (aperture + 1) * (aperture + 1) && s.mask[p]) {
                    blocked = true;
                    break;
                }
                if (r2 >= ringInner * ringInner && r2 <= ringOuter * ringOuter && !s.mask[p])
                    ring.push_back({dx, dy, s.pixels[p]});
            }
        if (blocked || ring.size() < 12) continue;
        const double noise = s.grid.at(s.grid.noise, x, y);
        Plane plane;
        const std::size_t used = fitPlane(ring, 3.0 * noise, plane);
        if (used < 8) continue;
        const std::size_t p = s.at(x, y);
        double cx = x + peakOffset(s.smooth[p - 1] - plane.at(-1, 0), s.smooth[p] - plane.level,
                                   s.smooth[p + 1] - plane.at(1, 0));
        double cy = y + peakOffset(s.smooth[p - w] - plane.at(0, -1), s.smooth[p] - plane.level,
                                   s.smooth[p + w] - plane.at(0, 1));
        s.refineCentre(x, y, cx, cy, plane, spotSigma, reach);
        bool close = false;
        for (const MeasuredSpot& q : spots)
            if ((q.x - cx) * (q.x - cx) + (q.y - cy) * (q.y - cy) < apart * apart) {
                close = true;
                break;
            }
        if (close) continue;
        double sum = 0.0;
        int inside = 0;
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                const double ex = x + dx - cx, ey = y + dy - cy;
                if (ex * ex + ey * ey > aperture * aperture) continue;
                sum += s.pixels[s.at(x + dx, y + dy)] - plane.at(dx, dy);
                ++inside;
            }
        const double level = std::max<double>(s.grid.at(s.grid.level, cx, cy), noise * noise);
        // Counting noise of the background inside, of the ring's level, and of the spot.
        const double variance =
            noise * noise * (inside + double(inside) * inside / used + std::max(sum, 0.0) / level);
        const double sigma = std::sqrt(variance);
        if (sum <= 0.0 || sum < search.significance * sigma) continue;
        spots.push_back({cx, cy, sum / captured, sigma / captured});
    }
    std::sort(spots.begin(), spots.end(), [](const MeasuredSpot& p, const MeasuredSpot& q) {
        return p.intensity > q.intensity;
    });
    // A direct beam below saturation (the largest saturated patch may then be a strong spot):
    // a spot ten times stronger than any other, where symmetry gives each true spot partners
    // of the same strength.
    if (spots.size() >= 2 && spots[0].intensity > 10.0 * spots[1].intensity)
        spots.erase(spots.begin());
    return spots;
}

}  // namespace tesral::physics
