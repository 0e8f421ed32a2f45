#include "cli/option_values.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tesral::cli {
namespace {

std::string withText(const std::string& mistake, const std::string& text) {
    std::string message = mistake;
    if (const auto at = message.find("{}"); at != std::string::npos)
        message.replace(at, 2, quoted(text));
    return message;
}

bool inRange(double v, const Range& range) {
    if (!range.anyReal && !std::isfinite(v)) return false;
    if (std::isnan(v)) return true;
    return (range.aboveLow ? v > range.low : v >= range.low) && v <= range.high;
}

}  // namespace

std::optional<double> realNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    // Too large for a double is no number; too small is its nearest, as typed.
    if (*end != '\0' || (errno == ERANGE && std::isinf(v))) return std::nullopt;
    return v;
}

std::optional<long> wholeNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0') return std::nullopt;
    return v;
}

template <typename T>
T value(const Options& options, const std::string& name, T fallback, const Range& range,
        const std::string& mistake) {
    if (!options.has(name)) return fallback;
    const std::string text = options.value(name);
    const auto fail = [&] { return UsageError("--" + name + " " + withText(mistake, text)); };
    if constexpr (std::is_integral_v<T>) {
        const std::optional<long> v = wholeNumber(text);
        if (!v || !inRange(static_cast<double>(*v), range)) throw fail();
        return static_cast<T>(*v);
    } else {
        const std::optional<double> v = realNumber(text);
        if (!v || !inRange(*v, range)) throw fail();
        if constexpr (std::is_same_v<T, float>) {
            const float f = static_cast<float>(*v);
            if (!std::isfinite(f) || (*v != 0.0 && f == 0.0f)) throw fail();
        }
        return static_cast<T>(*v);
    }
}

template int value<int>(const Options&, const std::string&, int, const Range&, const std::string&);
template float value<float>(const Options&, const std::string&, float, const Range&,
                            const std::string&);
template double value<double>(const Options&, const std::string&, double, const Range&,
                              const std::string&);

double number(const Options& options, const std::string& name, double fallback) {
    return value<double>(options, name, fallback, {}, "takes numbers, not {}");
}

std::vector<double> numbers(const Options& options, const std::string& name, char separator,
                            std::size_t count) {
    const std::string text = options.value(name);
    std::vector<double> values;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        const std::string piece = text.substr(start, end - start);
        const std::optional<double> v = realNumber(piece);
        if (!v || !std::isfinite(*v))
            throw UsageError("--" + name + " takes numbers, not " + quoted(piece));
        values.push_back(*v);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (values.size() != count)
        throw UsageError("--" + name + " takes " + std::to_string(count) +
                         " numbers separated by '" + separator + "'");
    return values;
}

PixelSize size(const Options& options, PixelSize fallback) {
    if (!options.has("size")) return fallback;
    const std::string text = options.value("size");
    const auto x = text.find('x');
    const auto side = [](const std::string& part) {
        const std::optional<long> v = wholeNumber(part);
        return v && *v >= 1 && *v <= kLargestPictureSide ? static_cast<int>(*v) : 0;
    };
    const int w = x == std::string::npos ? 0 : side(text.substr(0, x));
    const int h = x == std::string::npos ? 0 : side(text.substr(x + 1));
    if (w == 0 || h == 0)
        throw UsageError("--size takes WIDTHxHEIGHT in pixels, each 1.." +
                         std::to_string(kLargestPictureSide));
    return {w, h};
}

std::string shown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string sizeText(PixelSize size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

float thresholdFrom(const Options& options, float fallback) {
    return static_cast<float>(value<double>(options, "threshold", fallback, {0, 100},
                                            "takes a percentage of the strongest spot, 0..100"));
}

bool whiteBackground(const Options& options) {
    const std::string background = options.value("background", "black");
    if (background != "black" && background != "white")
        throw UsageError("--background takes black or white");
    return background == "white";
}

std::string extensionOf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

bool namesPicture(const std::string& path) {
    const std::string ext = extensionOf(path);
    return ext == "png" || ext == "bmp" || ext == "svg" || ext == "wmf" || ext == "pdf";
}

}  // namespace tesral::cli
