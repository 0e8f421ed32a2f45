#pragma once

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace tesral {

/**
 * Paints one spot straight into an opaque RGB32 image: a disc of `radius` at (cx, cy), all in
 * device pixels, filled with `fill` and outlined by a ring `penWidth` wide centred on the
 * radius. Edges are anti-aliased: a pixel whose centre lies on an edge is half covered.
 * Small opaque spots are stamped from coverage masks kept per thread, with the centre
 * rounded to a quarter and the radius to a sixteenth of a pixel.
 */
void paintSpot(QImage& image, double cx, double cy, double radius, double penWidth, QRgb outline,
               QRgb fill);

/**
 * The pixels of an opaque RGB32 image, of which only rows firstRow .. endRow - 1 are painted:
 * threads that paint the same spots into different bands of rows leave the same picture as
 * one thread painting them all.
 */
struct SpotRows {
    explicit SpotRows(QImage& image);
    /** The same image, painted only in rows first .. end - 1. */
    SpotRows band(int first, int end) const;

    uchar* bits;
    qsizetype stride;  // bytes per row
    int width, height;
    int firstRow, endRow;
};

/** paintSpot() into the rows of `image`. */
void paintSpot(const SpotRows& image, double cx, double cy, double radius, double penWidth,
               QRgb outline, QRgb fill);

/**
 * Spots composed nearest first, for pictures of very many spots: each pixel gathers the
 * colour of the spots in front and how much still shows through, and is left alone once
 * nothing does. Blends are kept in floating point, so a pixel under many faint edges comes
 * closer to its colour than paintSpot(), which cuts each blend to whole levels, leaves it.
 */
struct NearestFirst {
    /** Bands of rows start on a multiple of this many rows. */
    static constexpr int kTile = 8;
    /** What may still show through a pixel that counts as covered: less than half a level. */
    static constexpr float kHidden = 0.5f / 255.0f;
    int width = 0, height = 0, wordsPerRow = 0;
    std::vector<float> colour;           // r, g, b per pixel (0..255), gathered so far
    std::vector<float> through;          // per pixel: the share of what lies behind that shows
    std::vector<std::uint64_t> covered;  // a bit per pixel: nothing behind it shows

    void reset(int width, int height);
    /** Whether pixels x0 .. x1 of row y are all covered. */
    bool allCovered(int y, int x0, int x1) const {
        const std::uint64_t* row = covered.data() + static_cast<std::size_t>(y) * wordsPerRow;
        for (int w = x0 / 64; w <= x1 / 64; ++w) {
            const int from = std::max(x0 - w * 64, 0), to = std::min(x1 - w * 64, 63);
            const std::uint64_t bits =
                (to == 63 ? ~std::uint64_t{0} : (std::uint64_t{1} << (to + 1)) - 1) &
                ~((std::uint64_t{1} << from) - 1);
            if ((row[w] & bits) != bits) return false;
        }
        return true;
    }
};

/** Puts one spot behind those gathered so far, in the rows of `image`. */
void paintUnder(const SpotRows& image, NearestFirst& under, double cx, double cy, double radius,
                double penWidth, QRgb outline, QRgb fill);

/** Lays the gathered spots over the image's pixels, in its rows. */
void finishUnder(const SpotRows& image, const NearestFirst& under);

}  // namespace tesral
