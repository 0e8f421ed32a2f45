#include "physics/measured_pattern.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "physics/measured_pattern_commas.h"
#include "physics/model_file_guard.h"
#include "report/text_file.h"

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

MeasuredData readMeasuredText(std::string_view text, const std::string& name, bool peakList,
                              bool sigmas) {
    MeasuredData data;
    bool kindKnown = false;
    if (peakList) {
        data.kind = MeasuredKind::PeakList;
        kindKnown = true;
    }
    const CommaUse commas = commaUse(text);
    if (commas.kind == CommaUse::Unclear)
        throw std::runtime_error(name + ":" + std::to_string(commas.line) + ": '" +
                                 echoed(commas.text) +
                                 "' could hold a decimal comma or two columns; write a point "
                                 "for decimals, or a blank or ';' between the columns");
    if (commas.kind == CommaUse::Decimal)
        data.note = name + ": decimal commas read as points (\"42,875\" as 42.875)";
    bool headerAllowed = true;
    std::optional<bool> sigmaColumn;
    int lineNumber = 0;
    std::string line;
    const auto fail = [&](const std::string& what) {
        throw std::runtime_error(name + ":" + std::to_string(lineNumber) + ": " + what);
    };
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        line.assign(text.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        const std::size_t comment = line.find_first_of("#!");
        if (comment != std::string::npos) line.erase(comment);
        if (commas.kind == CommaUse::Decimal) std::replace(line.begin(), line.end(), ',', '.');
        const std::vector<std::string> fields = fieldsOf(line);
        if (fields.empty()) continue;
        std::vector<double> values;
        const std::size_t columns = sigmas ? 3 : 2;
        for (std::size_t i = 0; i < fields.size() && i < columns; ++i) {
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
            if (!std::isfinite(values[i]))
                fail("'" + echoed(fields[i]) + "' is not a finite number");
        if (!kindKnown) {
            data.kind = values.size() == 1 ? MeasuredKind::PeakList : MeasuredKind::Pattern;
            kindKnown = true;
        }
        if (data.kind == MeasuredKind::Pattern && values.size() < 2)
            fail(fields.size() < 2 ? "two numbers expected: 2-theta and intensity"
                                   : "'" + echoed(fields[1]) + "' is not a number");
        if (!(values[0] >= 0.0 && values[0] <= 180.0))
            fail("2-theta " + shown(values[0]) + " lies outside 0..180 degrees");
        if (sigmas) {
            if (!sigmaColumn) sigmaColumn = values.size() == 3;
            if (*sigmaColumn && values.size() < 3)
                fail("three numbers expected: 2-theta, intensity and its sigma");
            if (*sigmaColumn && !(values[2] > 0.0))
                fail("the sigma " + shown(values[2]) + " must be positive");
            if (*sigmaColumn) data.sigma.push_back(values[2]);
        }
        data.twoTheta.push_back(values[0]);
        data.intensity.push_back(values.size() > 1 ? values[1] : 1.0);
    }
    // A fault of the whole file names no line.
    if (data.twoTheta.size() < 2)
        throw std::runtime_error(name + ": fewer than two points" +
                                 (data.twoTheta.empty() ? " (no data at all)" : ""));
    if (!std::is_sorted(data.twoTheta.begin(), data.twoTheta.end())) {
        std::vector<std::size_t> order(data.twoTheta.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return data.twoTheta[a] < data.twoTheta[b];
        });
        MeasuredData sorted{data.kind, {}, {}, {}, data.note};
        for (const std::size_t i : order) {
            sorted.twoTheta.push_back(data.twoTheta[i]);
            sorted.intensity.push_back(data.intensity[i]);
            if (!data.sigma.empty()) sorted.sigma.push_back(data.sigma[i]);
        }
        data = std::move(sorted);
    }
    return data;
}

MeasuredData readMeasured(std::istream& in, const std::string& name, bool peakList) {
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw std::runtime_error(name + ": cannot be read: " + std::strerror(errno));
    return readMeasuredText(text.str(), name, peakList);
}

MeasuredData readMeasuredFile(const std::string& path, bool peakList, bool sigmas) {
    std::string reason;
    const std::optional<std::string> bytes =
        readRegularFile(path, kLargestMeasuredFile + 1, reason);
    if (!bytes) {
        if (reason == std::generic_category().message(EISDIR))
            throw std::runtime_error(path + ": is a folder, not a file");
        if (reason == "not a regular file")
            throw std::runtime_error(path +
                                     ": is not a regular file (a pipe or a device); a "
                                     "pattern is read from a file");
        throw std::runtime_error(path + ": cannot be opened: " + reason);
    }
    if (bytes->size() > kLargestMeasuredFile)
        throw std::runtime_error(path + ": the file is larger than 100 MB");
    return readMeasuredText(utf8Text(*bytes), path, peakList, sigmas);
}

}  // namespace tesral::physics
