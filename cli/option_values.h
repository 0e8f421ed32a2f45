#pragma once

// Numbers on the command line: every option's value read one way, a mistake named in the
// option's own words (a usage mistake, exit status 2).

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"

namespace tesral::cli {

/** The whole text as a number ("." the decimal point, leading blanks allowed); nothing for
 *  an empty text, trailing characters or a number too large for a double. */
std::optional<double> realNumber(const std::string& text);

/** The whole text as a decimal whole number; nothing otherwise. */
std::optional<long> wholeNumber(const std::string& text);

/** The values an option accepts: low..high, above low only when `aboveLow`, and finite
 *  unless `anyReal` (a value checked further on, with its own message). */
struct Range {
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
    bool aboveLow = false;
    bool anyReal = false;
};

/**
 * --NAME's value, or `fallback` when it is not given. A value that is no number or lies
 * outside `range` throws UsageError("--NAME " + mistake), "{}" in `mistake` replaced by the
 * value in quotes. A float must keep its size in single precision (finite, and not 0 unless
 * typed as 0).
 */
template <typename T>
T value(const Options& options, const std::string& name, T fallback, const Range& range,
        const std::string& mistake);

/** --NAME: `count` numbers separated by `separator`; "--NAME takes numbers, not '…'" or
 *  "--NAME takes 3 numbers separated by ','". */
std::vector<double> numbers(const Options& options, const std::string& name, char separator,
                            std::size_t count);

/** "--NAME takes numbers, not '…'" for one such number. */
double number(const Options& options, const std::string& name, double fallback);

/** A picture's size in pixels. */
struct PixelSize {
    int width = 0;
    int height = 0;
};

/** The largest picture side: larger pictures would need gigabytes. */
inline constexpr int kLargestPictureSide = 16384;

/** --size WxH, or `fallback`. */
PixelSize size(const Options& options, PixelSize fallback);

/** A default for a help text: "%g" ("0.01", "10"). */
std::string shown(double value);

/** "800x800". */
std::string sizeText(PixelSize size);

/** The picture options of plot2d, plot3d and zone: --threshold (percent of the strongest
 *  spot) and --background black|white (true for white). */
float thresholdFrom(const Options& options, float fallback);
bool whiteBackground(const Options& options);

/** The extension of a path's file name in lower case ("png"); empty without one. */
std::string extensionOf(const std::string& path);

/** Whether `path` ends in a picture's extension (.png, .bmp, .svg, .wmf, .pdf, any case). */
bool namesPicture(const std::string& path);

}  // namespace tesral::cli
