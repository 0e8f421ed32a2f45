#include "plots/spot_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace tesral {

namespace {

/** dst + (src - dst) x w / 256 for the three colour channels, two at a time; w is 0..256. */
inline QRgb mix(QRgb dst, QRgb src, std::uint32_t w) {
    const std::uint32_t v = 256 - w;
    const std::uint32_t rb = (((dst & 0xff00ffu) * v + (src & 0xff00ffu) * w) >> 8) & 0xff00ffu;
    const std::uint32_t g = (((dst & 0x00ff00u) * v + (src & 0x00ff00u) * w) >> 8) & 0x00ff00u;
    return 0xff000000u | rb | g;
}

/** Distances (pixels) from the centre at which the fill and the ring stop covering. */
struct SpotEdges {
    float fill, outer, inner;  // each + 0.5: the distance of a half-covered pixel centre
    SpotEdges(double radius, double penWidth)
        : fill(static_cast<float>(radius + 0.5)),
          outer(static_cast<float>(radius + penWidth / 2 + 0.5)),
          inner(static_cast<float>(radius - penWidth / 2 + 0.5)) {}
    /** Farthest pixel centre that any part of the spot touches. */
    double reach() const { return outer; }
};

/** Fill and ring weights (0..256 each) of a pixel whose centre lies `d` from the centre. */
inline void weightsAt(float d, const SpotEdges& e, float fillOpacity, float ringOpacity,
                      std::uint32_t& fill, std::uint32_t& ring) {
    // Branch-free: most pixels of a small spot lie on an edge.
    const float outer = std::min(std::max(e.outer - d, 0.0f), 1.0f);
    const float inner = std::min(std::max(e.inner - d, 0.0f), 1.0f);
    const float covered = std::min(std::max(e.fill - d, 0.0f), 1.0f);
    fill = static_cast<std::uint32_t>(covered * fillOpacity * 256.0f + 0.5f);
    ring = static_cast<std::uint32_t>((outer - inner) * ringOpacity * 256.0f + 0.5f);
}

/** The pixel range [first, last] that a span [low, high] (pixels) touches inside 0..size-1. */
inline bool pixelRange(double low, double high, int size, int& first, int& last) {
    low = std::max(low, 0.0);
    high = std::min(high, static_cast<double>(size - 1));
    if (!(low <= high)) return false;
    first = static_cast<int>(std::floor(low));
    last = static_cast<int>(std::ceil(high));
    return true;
}

/** Any spot, pixel by pixel. */
void paintDirect(const SpotRows& image, double cx, double cy, double radius, double penWidth,
                 QRgb outline, QRgb fill) {
    const SpotEdges edges(radius, penWidth);
    const double reach = edges.reach();
    int y0, y1;
    if (!pixelRange(cy - reach, cy + reach, image.height, y0, y1)) return;
    y0 = std::max(y0, image.firstRow);
    y1 = std::min(y1, image.endRow - 1);
    const float fillOpacity = qAlpha(fill) / 255.0f;
    const float ringOpacity = qAlpha(outline) / 255.0f;
    uchar* bits = image.bits;
    const qsizetype stride = image.stride;
    for (int j = y0; j <= y1; ++j) {
        const double dy = j + 0.5 - cy;
        const double span2 = reach * reach - dy * dy;
        if (span2 <= 0.0) continue;
        // Only the pixels of this row that the ring's outer edge can reach.
        const double span = std::sqrt(span2);
        int x0, x1;
        if (!pixelRange(cx - span - 0.5, cx + span - 0.5, image.width, x0, x1)) continue;
        auto* line = reinterpret_cast<QRgb*>(bits + j * stride);
        const auto dy2 = static_cast<float>(dy * dy);
        for (int i = x0; i <= x1; ++i) {
            const auto dx = static_cast<float>(i + 0.5 - cx);
            std::uint32_t inside, ring;
            weightsAt(std::sqrt(dx * dx + dy2), edges, fillOpacity, ringOpacity, inside, ring);
            line[i] = mix(mix(line[i], fill, inside), outline, ring);
        }
    }
}

/** Weights of a small opaque spot, relative to the pixel that holds its centre. */
struct SpotMask {
    int left = 0, top = 0;  // offset of column and row 0 from the centre's pixel
    int width = 0, height = 0;
    std::vector<std::uint32_t> weights;  // fill weight | ring weight << 16
    /** Per row, the columns [first, last] that hold a weight; first > last: none. */
    std::vector<std::pair<int, int>> spans;
};

constexpr double kMaskedRadius = 12.0;  // device pixels
constexpr int kPositionSteps = 4;       // per pixel
constexpr int kRadiusSteps = 16;        // per pixel

SpotMask buildMask(double fx, double fy, double radius, double penWidth) {
    const SpotEdges edges(radius, penWidth);
    const double reach = edges.reach();
    SpotMask mask;
    mask.left = static_cast<int>(std::floor(fx - reach));
    mask.top = static_cast<int>(std::floor(fy - reach));
    mask.width = static_cast<int>(std::ceil(fx + reach)) - mask.left + 1;
    mask.height = static_cast<int>(std::ceil(fy + reach)) - mask.top + 1;
    mask.weights.resize(static_cast<std::size_t>(mask.width * mask.height));
    for (int j = 0; j < mask.height; ++j) {
        for (int i = 0; i < mask.width; ++i) {
            const double dx = mask.left + i + 0.5 - fx;
            const double dy = mask.top + j + 0.5 - fy;
            std::uint32_t inside, ring;
            weightsAt(static_cast<float>(std::sqrt(dx * dx + dy * dy)), edges, 1.0f, 1.0f, inside,
                      ring);
            mask.weights[static_cast<std::size_t>(j * mask.width + i)] = inside | ring << 16;
        }
    }
    // Most of a small spot's box lies outside its disc: rows are walked only where it is.
    mask.spans.assign(static_cast<std::size_t>(mask.height), {mask.width, -1});
    for (int j = 0; j < mask.height; ++j) {
        auto& [first, last] = mask.spans[static_cast<std::size_t>(j)];
        for (int i = 0; i < mask.width; ++i) {
            if (mask.weights[static_cast<std::size_t>(j * mask.width + i)] == 0) continue;
            first = std::min(first, i);
            last = i;
        }
    }
    return mask;
}

constexpr int kLargestQuantRadius = static_cast<int>(kMaskedRadius * kRadiusSteps);

/** The masks of one thread, indexed by quantised position and radius. */
struct MaskCache {
    double penWidth = -1.0;
    std::vector<std::unique_ptr<SpotMask>> masks;
};

const SpotMask& maskFor(int qx, int qy, int qr, double penWidth) {
    thread_local MaskCache cache;
    if (penWidth != cache.penWidth) {
        cache.masks.clear();
        cache.masks.resize(
            static_cast<std::size_t>((kLargestQuantRadius + 1) * kPositionSteps * kPositionSteps));
        cache.penWidth = penWidth;
    }
    const auto key = static_cast<std::size_t>((qr * kPositionSteps + qy) * kPositionSteps + qx);
    std::unique_ptr<SpotMask>& mask = cache.masks[key];
    if (!mask)
        mask = std::make_unique<SpotMask>(buildMask(double(qx) / kPositionSteps,
                                                    double(qy) / kPositionSteps,
                                                    double(qr) / kRadiusSteps, penWidth));
    return *mask;
}

/** The mask of a small spot and the pixel (px, py) that holds its centre. */
const SpotMask& placeMask(double cx, double cy, double radius, double penWidth, int& px, int& py) {
    // Centre as a whole pixel plus quarter steps; a step of 4 moves to the next pixel. The
    // centre lies near the picture (the caller culls), so the steps fit an int.
    static_assert(kPositionSteps == 4);
    const auto sx = static_cast<int>(std::lrint(cx * kPositionSteps));
    const auto sy = static_cast<int>(std::lrint(cy * kPositionSteps));
    px = sx >> 2;  // floor(sx / 4), also below 0
    py = sy >> 2;
    const int qx = sx & 3;
    const int qy = sy & 3;
    const int qr = static_cast<int>(std::lround(radius * kRadiusSteps));
    return maskFor(qx, qy, qr, penWidth);
}

/** A placed mask clipped to the image's columns and rows (inclusive bounds). */
struct ClippedMask {
    const SpotMask& mask;
    int px, py;  // the pixel that holds the centre
    int x0, x1, y0, y1;

    bool empty() const { return x0 > x1 || y0 > y1; }

    /** Calls visit(x, weights) for each pixel of row y (y0..y1) whose weights may be set. */
    template <typename Visit>
    void forEachInRow(int y, Visit&& visit) const {
        const int row = y - py - mask.top;
        const std::uint32_t* w = mask.weights.data() + row * mask.width;
        const auto [first, last] = mask.spans[static_cast<std::size_t>(row)];
        const int xEnd = std::min(x1, px + mask.left + last);
        for (int x = std::max(x0, px + mask.left + first); x <= xEnd; ++x)
            visit(x, w[x - px - mask.left]);
    }
};

ClippedMask clippedMask(const SpotRows& image, double cx, double cy, double radius,
                        double penWidth) {
    int px, py;
    const SpotMask& mask = placeMask(cx, cy, radius, penWidth, px, py);
    return {mask,
            px,
            py,
            std::max(px + mask.left, 0),
            std::min(px + mask.left + mask.width, image.width) - 1,
            std::max(py + mask.top, image.firstRow),
            std::min(py + mask.top + mask.height, image.endRow) - 1};
}

void paintMasked(const SpotRows& image, double cx, double cy, double radius, double penWidth,
                 QRgb outline, QRgb fill) {
    const ClippedMask clip = clippedMask(image, cx, cy, radius, penWidth);
    for (int y = clip.y0; y <= clip.y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.bits + y * image.stride);
        clip.forEachInRow(y, [&](int x, std::uint32_t both) {
            if (both == 0) return;
            if (both == 256)
                line[x] = fill;
            else
                line[x] = mix(mix(line[x], fill, both & 0xffffu), outline, both >> 16);
        });
    }
}

}  // namespace

bool spotOutside(const SpotRows& image, double cx, double cy, double radius, double penWidth) {
    const double reach = radius + penWidth;
    return !(cx + reach >= 0 && cy + reach >= image.firstRow && cx - reach <= image.width &&
             cy - reach <= image.endRow);
}

SpotRows::SpotRows(QImage& image)
    : bits(image.bits()),
      stride(image.bytesPerLine()),
      width(image.width()),
      height(image.height()),
      firstRow(0),
      endRow(image.height()) {}

SpotRows SpotRows::band(int first, int end) const {
    SpotRows rows = *this;
    rows.firstRow = std::max(first, 0);
    rows.endRow = std::min(end, height);
    return rows;
}

void paintSpot(const SpotRows& image, double cx, double cy, double radius, double penWidth,
               QRgb outline, QRgb fill) {
    // Far outside the rows (also a huge zoom): nothing to paint.
    if (spotOutside(image, cx, cy, radius, penWidth)) return;
    if (radius <= kMaskedRadius && qAlpha(fill) == 255 && qAlpha(outline) == 255)
        paintMasked(image, cx, cy, radius, penWidth, outline, fill);
    else
        paintDirect(image, cx, cy, radius, penWidth, outline, fill);
}

void paintSpot(QImage& image, double cx, double cy, double radius, double penWidth, QRgb outline,
               QRgb fill) {
    paintSpot(SpotRows(image), cx, cy, radius, penWidth, outline, fill);
}

void NearestFirst::reset(int w, int h) {
    width = w;
    height = h;
    wordsPerRow = (w + 63) / 64;
    const std::size_t pixels = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    colour.assign(3 * pixels, 0.0f);
    through.assign(pixels, 1.0f);
    covered.assign(static_cast<std::size_t>(wordsPerRow) * static_cast<std::size_t>(h), 0);
}

namespace {

/** One pixel of a spot behind what was gathered: fill weight a, ring weight r (0..1). */
inline void gather(NearestFirst& under, int x, int y, float a, float r, const float* f,
                   const float* o) {
    const std::size_t at = static_cast<std::size_t>(y) * under.width + x;
    float t = under.through[at];
    if (t == 0.0f) return;
    // The ring lies on top of the fill, both in front of what was gathered so far.
    float* c = &under.colour[3 * at];
    for (int k = 0; k < 3; ++k) c[k] += t * (r * o[k] + (1.0f - r) * a * f[k]);
    t *= (1.0f - r) * (1.0f - a);
    if (t < NearestFirst::kHidden) {
        t = 0.0f;
        under.covered[static_cast<std::size_t>(y) * under.wordsPerRow + x / 64] |= std::uint64_t{1}
                                                                                   << (x % 64);
    }
    under.through[at] = t;
}

/** A small opaque spot behind what was gathered, from its cached mask. */
void gatherMasked(const SpotRows& image, NearestFirst& under, double cx, double cy, double radius,
                  double penWidth, const float* f, const float* o) {
    const ClippedMask clip = clippedMask(image, cx, cy, radius, penWidth);
    if (clip.empty()) return;
    bool shows = false;  // a pixel of the box that is not covered yet
    for (int y = clip.y0; y <= clip.y1 && !shows; ++y)
        shows = !under.allCovered(y, clip.x0, clip.x1);
    if (!shows) return;
    constexpr float kPerWeight = 1.0f / 256.0f;
    for (int y = clip.y0; y <= clip.y1; ++y)
        clip.forEachInRow(y, [&](int x, std::uint32_t both) {
            gather(under, x, y, static_cast<float>(both & 0xffffu) * kPerWeight,
                   static_cast<float>(both >> 16) * kPerWeight, f, o);
        });
}

}  // namespace

void paintUnder(const SpotRows& image, NearestFirst& under, double cx, double cy, double radius,
                double penWidth, QRgb outline, QRgb fill) {
    if (spotOutside(image, cx, cy, radius, penWidth)) return;
    if (radius <= kMaskedRadius && qAlpha(fill) == 255 && qAlpha(outline) == 255) {
        const float f[3] = {float(qRed(fill)), float(qGreen(fill)), float(qBlue(fill))};
        const float o[3] = {float(qRed(outline)), float(qGreen(outline)), float(qBlue(outline))};
        gatherMasked(image, under, cx, cy, radius, penWidth, f, o);
        return;
    }
    const SpotEdges edges(radius, penWidth);
    const double reach = edges.reach();
    int y0, y1, x0, x1;
    if (!pixelRange(cy - reach, cy + reach, image.height, y0, y1)) return;
    if (!pixelRange(cx - reach - 0.5, cx + reach - 0.5, image.width, x0, x1)) return;
    y0 = std::max(y0, image.firstRow);
    y1 = std::min(y1, image.endRow - 1);
    bool shows = false;  // a pixel of the box that is not covered yet
    for (int j = y0; j <= y1 && !shows; ++j) shows = !under.allCovered(j, x0, x1);
    if (!shows) return;
    const float fillOpacity = qAlpha(fill) / 255.0f;
    const float ringOpacity = qAlpha(outline) / 255.0f;
    const float f[3] = {float(qRed(fill)), float(qGreen(fill)), float(qBlue(fill))};
    const float o[3] = {float(qRed(outline)), float(qGreen(outline)), float(qBlue(outline))};
    for (int j = y0; j <= y1; ++j) {
        const auto dy = static_cast<float>(j + 0.5 - cy);
        for (int i = x0; i <= x1; ++i) {
            if (under.through[static_cast<std::size_t>(j) * under.width + i] == 0.0f) continue;
            const auto dx = static_cast<float>(i + 0.5 - cx);
            std::uint32_t inside, ring;
            weightsAt(std::sqrt(dx * dx + dy * dy), edges, fillOpacity, ringOpacity, inside, ring);
            if (inside != 0 || ring != 0) gather(under, i, j, inside / 256.0f, ring / 256.0f, f, o);
        }
    }
}

void finishUnder(const SpotRows& image, const NearestFirst& under) {
    for (int y = image.firstRow; y < image.endRow; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.bits + y * image.stride);
        for (int x = 0; x < image.width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * under.width + x;
            const float t = under.through[at];
            const float* c = &under.colour[3 * at];
            const auto channel = [&](int k, int behind) {
                return std::clamp(static_cast<int>(c[k] + t * behind + 0.5f), 0, 255);
            };
            line[x] = qRgb(channel(0, qRed(line[x])), channel(1, qGreen(line[x])),
                           channel(2, qBlue(line[x])));
        }
    }
}

}  // namespace tesral
