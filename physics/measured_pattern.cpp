#include "physics/measured_pattern.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <stdexcept>

namespace tesral::physics {

namespace {

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    for (const char c : line) {
        if (c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\r') {
            if (!field.empty()) fields.push_back(std::move(field));
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.empty()) fields.push_back(std::move(field));
    return fields;
}

/** The field as a number, or nothing when it is not one (infinity and NaN do read). */
std::optional<double> numberOf(const std::string& field) {
    char* end = nullptr;
    const double value = std::strtod(field.c_str(), &end);
    if (end == field.c_str() || *end != '\0') return std::nullopt;
    return value;
}

std::string shown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

MeasuredData readMeasured(std::istream& in, const std::string& name, bool peakList) {
    MeasuredData data;
    bool kindKnown = false;
    if (peakList) {
        data.kind = MeasuredKind::PeakList;
        kindKnown = true;
    }
    bool headerAllowed = true;
    int lineNumber = 0;
    std::string line;
    const auto fail = [&](const std::string& what) {
        throw std::runtime_error(name + ":" + std::to_string(lineNumber) + ": " + what);
    };
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::size_t comment = line.find_first_of("#!");
        if (comment != std::string::npos) line.erase(comment);
        const std::vector<std::string> fields = fieldsOf(line);
        if (fields.empty()) continue;
        std::vector<double> values;
        for (std::size_t i = 0; i < fields.size() && i < 2; ++i) {
            const std::optional<double> v = numberOf(fields[i]);
            if (!v) break;
            values.push_back(*v);
        }
        if (values.empty()) {
            // The column names above the data.
            if (headerAllowed) {
                headerAllowed = false;
                continue;
            }
            fail("no numbers");
        }
        headerAllowed = false;
        for (std::size_t i = 0; i < values.size(); ++i)
            if (!std::isfinite(values[i])) fail("'" + fields[i] + "' is not a finite number");
        if (!kindKnown) {
            data.kind = values.size() == 1 ? MeasuredKind::PeakList : MeasuredKind::Pattern;
            kindKnown = true;
        }
        if (data.kind == MeasuredKind::Pattern && values.size() < 2)
            fail(fields.size() < 2 ? "two numbers expected: 2-theta and intensity"
                                   : "'" + fields[1] + "' is not a number");
        if (!(values[0] >= 0.0 && values[0] <= 180.0))
            fail("2-theta " + shown(values[0]) + " lies outside 0..180 degrees");
        data.twoTheta.push_back(values[0]);
        data.intensity.push_back(values.size() > 1 ? values[1] : 1.0);
    }
    if (in.bad()) fail(std::string("cannot be read: ") + std::strerror(errno));
    if (data.twoTheta.size() < 2) fail("fewer than two points");
    if (!std::is_sorted(data.twoTheta.begin(), data.twoTheta.end())) {
        std::vector<std::size_t> order(data.twoTheta.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return data.twoTheta[a] < data.twoTheta[b];
        });
        MeasuredData sorted{data.kind, {}, {}};
        for (const std::size_t i : order) {
            sorted.twoTheta.push_back(data.twoTheta[i]);
            sorted.intensity.push_back(data.intensity[i]);
        }
        data = std::move(sorted);
    }
    return data;
}

MeasuredData readMeasuredFile(const std::string& path, bool peakList) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw std::runtime_error(path + ":0: is a folder, not a file");
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > kLargestMeasuredFile)
        throw std::runtime_error(path + ":1: the file is larger than 100 MB");
    std::ifstream in(path);
    if (!in) throw std::runtime_error(path + ":0: cannot be opened: " + std::strerror(errno));
    return readMeasured(in, path, peakList);
}

std::vector<Peak> findPeaks(const MeasuredData& data, double threshold) {
    const std::vector<double>& x = data.twoTheta;
    const std::vector<double>& y = data.intensity;
    std::vector<Peak> peaks;
    if (data.kind == MeasuredKind::PeakList) {
        for (std::size_t i = 0; i < x.size(); ++i) peaks.push_back({x[i], y[i]});
        return peaks;
    }
    const std::size_t n = x.size();
    std::vector<double> steps;
    for (std::size_t i = 1; i < n; ++i) steps.push_back(x[i] - x[i - 1]);
    std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
    const double step = steps[steps.size() / 2];
    // A peak is the highest point within a few hundredths of a degree.
    const std::size_t w = step > 0.0 ? std::max<std::size_t>(2, std::lround(0.04 / step)) : 2;
    const auto [lowest, highest] = std::minmax_element(y.begin(), y.end());
    // The noise from the second differences, which a smooth pattern keeps small; a peak must
    // stand well above it as well as above the threshold.
    std::vector<double> curvature;
    for (std::size_t i = 1; i + 1 < n; ++i)
        curvature.push_back(std::fabs(y[i + 1] - 2 * y[i] + y[i - 1]));
    double noise = 0.0;
    if (!curvature.empty()) {
        std::nth_element(curvature.begin(), curvature.begin() + curvature.size() / 2,
                         curvature.end());
        noise = curvature[curvature.size() / 2] / (0.6745 * std::sqrt(6.0));
    }
    const double needed = std::max(threshold * (*highest - *lowest), 6.0 * noise);
    // Maxima are looked for in a running mean, so noise on a flank makes no peak.
    const std::size_t half = w / 2;
    std::vector<double> smooth(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t lo = i >= half ? i - half : 0, hi = std::min(n - 1, i + half);
        double sum = 0.0;
        for (std::size_t k = lo; k <= hi; ++k) sum += y[k];
        smooth[i] = sum / static_cast<double>(hi - lo + 1);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t lo = i >= w ? i - w : 0, hi = std::min(n - 1, i + w);
        bool top = true;
        for (std::size_t k = lo; k <= hi && top; ++k)
            top = k < i ? smooth[k] < smooth[i] : (k == i || smooth[k] <= smooth[i]);
        if (!top) continue;
        const std::size_t blo = i >= 10 * w ? i - 10 * w : 0, bhi = std::min(n - 1, i + 10 * w);
        const double base = *std::min_element(smooth.begin() + static_cast<long>(blo),
                                              smooth.begin() + static_cast<long>(bhi) + 1);
        const double height = smooth[i] - base;
        if (height < needed || height <= 0.0) continue;
        // The top: the points above half height next to the maximum, at most 3 w each side.
        const double halfHeight = base + 0.5 * height;
        std::size_t first = i, last = i;
        while (first > 0 && i - first < 3 * w && smooth[first - 1] >= halfHeight) --first;
        while (last + 1 < n && last - i < 3 * w && smooth[last + 1] >= halfHeight) ++last;
        if (first == i) first = i > 0 ? i - 1 : i;
        if (last == i) last = std::min(n - 1, i + 1);
        // Least-squares parabola y = c0 + c1 t + c2 t^2, t = x - x[i].
        double s[5] = {}, r[3] = {};
        for (std::size_t k = first; k <= last; ++k) {
            const double t = x[k] - x[i];
            double p = 1.0;
            for (int e = 0; e < 5; ++e, p *= t) {
                s[e] += p;
                if (e < 3) r[e] += p * y[k];
            }
        }
        double position = x[i];
        const double m[3][3] = {{s[0], s[1], s[2]}, {s[1], s[2], s[3]}, {s[2], s[3], s[4]}};
        const auto det3 = [](const double a[3][3]) {
            return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                   a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                   a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
        };
        const double det = det3(m);
        if (last - first >= 2 && std::fabs(det) > 0.0) {
            double c[3];
            for (int col = 0; col < 3; ++col) {
                double mm[3][3];
                for (int a = 0; a < 3; ++a)
                    for (int b = 0; b < 3; ++b) mm[a][b] = b == col ? r[a] : m[a][b];
                c[col] = det3(mm) / det;
            }
            const double vertex = c[2] < 0.0 ? -c[1] / (2.0 * c[2]) : 0.0;
            if (std::fabs(vertex) <= (x[last] - x[first]) / 2.0) position = x[i] + vertex;
        }
        peaks.push_back({position, height});
    }
    return peaks;
}

}  // namespace tesral::physics
