#pragma once

// A measured powder pattern or peak list read from a text file, and the peaks found in it.

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesral::physics {

/** Files above this size are refused. */
constexpr std::uintmax_t kLargestMeasuredFile = 100ull * 1000 * 1000;

/** What a file holds: a pattern (2-theta and intensity) or a list of peaks. */
enum class MeasuredKind { Pattern, PeakList };

struct MeasuredData {
    MeasuredKind kind = MeasuredKind::Pattern;
    /** 2-theta, degrees, increasing. */
    std::vector<double> twoTheta;
    /** Intensities; a peak list without them holds 1 for each peak. */
    std::vector<double> intensity;
    /** Read with `sigmas` when the data lines hold a third number: the intensities' sigma. */
    std::vector<double> sigma;
    /** What the reader chose that the user should hear of (decimal commas); often empty. */
    std::string note;
};

/**
 * Reads two columns (whitespace, comma or semicolon between them, or decimal commas as
 * commaUse decides, with a note; a file that could be read either way is refused; `#` or `!` starts
 * a comment; one header line of words may come first). A file whose data lines hold one number
 * each, or any file when `peakList` is set, is a peak list: 2-theta and an optional
 * intensity. `name` goes in front of each error: "name:line: what is wrong". No numbers on a
 * line, a number that is not finite, 2-theta outside 0..180 and fewer than two points are
 * errors; extra columns are ignored. With `sigmas`, a third number on the first data line
 * makes it a column every line must have, each sigma positive.
 */
MeasuredData readMeasuredText(std::string_view text, const std::string& name, bool peakList = false,
                              bool sigmas = false);

/** readMeasuredText of a stream's whole text. */
MeasuredData readMeasured(std::istream& in, const std::string& name, bool peakList = false);

/**
 * readMeasuredText of a regular file (a named pipe or a device is refused, never waited on),
 * refusing one larger than kLargestMeasuredFile. Throws std::runtime_error with
 * "path:line: what is wrong", or "path: what is wrong" for the file as a whole.
 */
MeasuredData readMeasuredFile(const std::string& path, bool peakList = false, bool sigmas = false);

/** A peak: its position and height above the local background. */
struct Peak {
    double twoTheta = 0.0;
    double height = 0.0;
};

/**
 * The peaks of a pattern: local maxima standing at least `threshold` (a fraction of the
 * pattern's range) above their surroundings, each placed by a least-squares parabola through
 * its top. A peak list is returned as it is.
 */
std::vector<Peak> findPeaks(const MeasuredData& data, double threshold = 0.02);

}  // namespace tesral::physics
