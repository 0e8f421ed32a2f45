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

}  // namespace tesral
