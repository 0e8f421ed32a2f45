// The observations a model is refined against: a measured pattern or peak list (read by the
// measured-pattern reader, with a sigma column) or a single crystal's integrated intensities.

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

#include "physics/measured_pattern.h"
#include "physics/model_file_guard.h"
#include "physics/model_refinement.h"
#include "report/text_file.h"

namespace tesral::physics {
namespace {

std::vector<std::string> wordsOf(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : line) {
        if (c == ' ' || c == '\t' || c == '\r') {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

std::optional<long> integerOf(const std::string& word) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(word.c_str(), &end, 10);
    if (end == word.c_str() || *end != '\0' || errno == ERANGE) return std::nullopt;
    return value;
}

std::optional<double> realOf(const std::string& word) {
    char* end = nullptr;
    const double value = std::strtod(word.c_str(), &end);
    if (end == word.c_str() || *end != '\0' || !std::isfinite(value)) return std::nullopt;
    return value;
}

/** Each data line with its number, comments removed. */
template <class Visit>
void forEachDataLine(std::string_view text, Visit visit) {
    int number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        const std::vector<std::string> words = wordsOf(line);
        if (!words.empty() && !visit(number, words)) return;
    }
}

/** Five or six leading integers, then I and sigma: the dimension, or 0. */
int intensityDimension(const std::vector<std::string>& words) {
    for (const int n : {6, 5}) {
        if (words.size() != static_cast<std::size_t>(n) + 2) continue;
        bool integers = true;
        for (int i = 0; i < n; ++i) integers = integers && integerOf(words[std::size_t(i)]);
        if (integers) return n;
    }
    return 0;
}

Observations intensitiesOf(std::string_view text, const std::string& name, int dimension) {
    Observations data;
    data.kind = ObservationKind::Intensities;
    data.source = name;
    const auto n = static_cast<std::size_t>(dimension);
    forEachDataLine(text, [&](int line, const std::vector<std::string>& words) {
        const auto fail = [&](const std::string& what) {
            throw std::runtime_error(name + ":" + std::to_string(line) + ": " + what);
        };
        const std::string expected = std::to_string(dimension) + " indices, I and sigma expected";
        if (words.size() != n + 2)
            fail(expected + ", not " + std::to_string(words.size()) + " numbers");
        IntensityObservation o;
        o.dimension = dimension;
        o.line = line;
        for (std::size_t i = 0; i < n; ++i) {
            const std::optional<long> h = integerOf(words[i]);
            if (!h)
                fail("index " + std::to_string(i + 1) + " '" + echoed(words[i]) +
                     "' is not a whole number");
            if (std::labs(*h) > 32767) fail("index " + std::to_string(i + 1) + " is beyond 32767");
            o.indices[i] = static_cast<int>(*h);
        }
        const std::optional<double> intensity = realOf(words[n]);
        const std::optional<double> sigma = realOf(words[n + 1]);
        if (!intensity) fail("the intensity '" + echoed(words[n]) + "' is not a finite number");
        if (!sigma || !(*sigma > 0.0))
            fail("the sigma '" + echoed(words[n + 1]) + "' is not a positive number");
        o.intensity = *intensity;
        o.sigma = *sigma;
        data.reflections.push_back(o);
        return true;
    });
    return data;
}

}  // namespace

Observations readObservationsText(std::string_view text, const std::string& name, bool peaks) {
    int dimension = 0;
    if (!peaks)
        forEachDataLine(text, [&](int, const std::vector<std::string>& words) {
            dimension = intensityDimension(words);
            return false;
        });
    if (dimension != 0) return intensitiesOf(text, name, dimension);
    MeasuredData measured = readMeasuredText(text, name, peaks, true);
    Observations data;
    data.kind = measured.kind == MeasuredKind::PeakList ? ObservationKind::PeakList
                                                        : ObservationKind::Pattern;
    data.twoTheta = std::move(measured.twoTheta);
    data.value = std::move(measured.intensity);
    data.sigma = std::move(measured.sigma);
    data.source = name;
    data.note = std::move(measured.note);
    return data;
}

Observations readObservationsFile(const std::string& path, bool peaks) {
    std::string reason;
    const std::optional<std::string> bytes =
        readRegularFile(path, kLargestMeasuredFile + 1, reason);
    if (!bytes) {
        if (reason == std::generic_category().message(EISDIR))
            throw std::runtime_error(path + ": is a folder, not a file");
        throw std::runtime_error(path + ": cannot be opened: " + reason);
    }
    if (bytes->size() > kLargestMeasuredFile)
        throw std::runtime_error(path + ": the file is larger than 100 MB");
    return readObservationsText(utf8Text(*bytes), path, peaks);
}

}  // namespace tesral::physics
