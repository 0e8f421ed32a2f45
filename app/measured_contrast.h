#pragma once

// A measured photograph's grey levels as the screen shows them.

#include <QImage>

#include "physics/diffraction_image.h"

namespace tesral {

/** How the grey levels between the background and the brightest spot map to the screen. */
enum class Contrast { Linear, Logarithmic, Gamma };

/**
 * An 8-bit greyscale picture of `image`: black at the darkest tenth of a percent of its pixels,
 * white at the brightest one below saturation (saturated ones are white too). Logarithmic and gamma
 * (level^gamma, 0 < gamma) contrast lift the faint spots; an empty image gives a null one.
 */
QImage contrastImage(const physics::DiffractionImage& image, Contrast contrast, double gamma = 0.5);

}  // namespace tesral
