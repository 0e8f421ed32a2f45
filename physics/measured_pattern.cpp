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

}  // namespace tesral::physics
