#pragma once
// The readers behind readDiffractionImage, one per file format. Each throws std::runtime_error
// with one line "path: what is wrong".
#include <string>

#include "physics/diffraction_image.h"

namespace tesral::physics {

DiffractionImage readPgmImage(const std::string& path);
DiffractionImage readPngImage(const std::string& path);
DiffractionImage readTiffImage(const std::string& path);

/** Throws "path: what" with line breaks in `what` (library messages) made blanks. */
[[noreturn]] void failImage(const std::string& path, std::string what);

/** Fails unless width × height is a size this program reads. */
void checkImageSize(const std::string& path, long long width, long long height);

/** Rec. 709 luminance weights, the ones libpng's colour-to-grey conversion uses. */
constexpr float kLumaRed = 0.2126f;
constexpr float kLumaGreen = 0.7152f;
constexpr float kLumaBlue = 0.0722f;

}  // namespace tesral::physics
