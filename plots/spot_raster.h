#pragma once

#include <QImage>

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

}  // namespace tesral
