#include "zone_axis.h"

#include <charconv>
#include <cmath>

namespace tesral {
namespace {

// Each table is (A + B sqrt(root)) / D with A = (D / 2) times the identity in the plane (D
// on the periodic axis) and B the part that couples neighbouring star vectors. They were
// worked out from the star angles and are checked against the floating bases in the tests.
ExactInnerProducts octagonal() {
    ExactInnerProducts p{2, 4, {}, {}};
    const int b[4][4] = {{0, 1, 0, -1}, {1, 0, 1, 0}, {0, 1, 0, 1}, {-1, 0, 1, 0}};
    for (int i = 0; i < 4; ++i) {
        p.rational[i][i] = 2;
        for (int j = 0; j < 4; ++j) p.irrational[i][j] = b[i][j];
    }
    p.rational[4][4] = 4;
    return p;
}

ExactInnerProducts decagonal() {
    ExactInnerProducts p{5, 10, {}, {}};
    const int b[4][4] = {{-1, 0, -2, -2}, {2, 1, 2, 0}, {0, 2, 1, 2}, {-2, -2, 0, -1}};
    for (int i = 0; i < 4; ++i) {
        p.rational[i][i] = 5;
        for (int j = 0; j < 4; ++j) p.irrational[i][j] = b[i][j];
    }
    p.rational[4][4] = 10;
    return p;
}

ExactInnerProducts dodecagonal() {
    ExactInnerProducts p{3, 6, {}, {}};
    const int b[4][4] = {{0, 2, 0, -1}, {1, 0, 1, 0}, {0, 1, 0, 1}, {-1, 0, 2, 0}};
    for (int i = 0; i < 4; ++i) {
        p.rational[i][i] = 3;
        for (int j = 0; j < 4; ++j) p.irrational[i][j] = b[i][j];
    }
    p.rational[4][4] = 6;
    return p;
}

ExactInnerProducts icosahedral() {
    ExactInnerProducts p{5, 10, {}, {}};
    // The six fivefold axes: +1 for the pairs at 63.43 degrees with a positive product, -1
    // for the others; a vector with itself has only the rational part.
    const int b[6][6] = {{0, 1, 1, 1, 1, 1},   {1, 0, 1, -1, -1, 1}, {1, 1, 0, 1, -1, -1},
                         {1, -1, 1, 0, 1, -1}, {1, -1, -1, 1, 0, 1}, {1, 1, -1, -1, 1, 0}};
    for (int i = 0; i < 6; ++i) {
        p.rational[i][i] = 5;
        for (int j = 0; j < 6; ++j) p.irrational[i][j] = b[i][j];
    }
    return p;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string presetList(QuasicrystalSystem system) {
    std::string names;
    for (const ZonePreset& p : zonePresets(system)) {
        if (!names.empty()) names += ", ";
        names += p.name;
    }
    return names;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

/**
 * Splits "1 2 3", "1,2,3" and "1, 2 ,3" alike: items are separated by blanks, by one comma or
 * by both. Two commas in a row, or one at either end, leave an empty item.
 */
std::vector<std::string_view> indexItems(std::string_view text) {
    std::vector<std::string_view> items;
    std::size_t i = 0;
    for (;;) {
        std::size_t j = i;
        while (j < text.size() && text[j] != ',' && !isBlank(text[j])) ++j;
        items.push_back(text.substr(i, j - i));
        if (j == text.size()) break;
        while (j < text.size() && isBlank(text[j])) ++j;
        if (j < text.size() && text[j] == ',') {
            ++j;
            while (j < text.size() && isBlank(text[j])) ++j;
            if (j == text.size()) {
                items.emplace_back();
                break;
            }
        }
        i = j;
    }
    return items;
}

/** Reads the whole numbers of `text` (trimmed, not empty) into `out`; `what` names them. */
std::string readIndices(std::string_view text, QuasicrystalSystem system, std::int64_t largest,
                        const std::string& what, AxisIndices& out) {
    const int n = indexDimensionOf(system);
    const std::vector<std::string_view> items = indexItems(text);
    for (std::size_t k = 0; k < items.size() && k < 6; ++k) {
        const std::string_view item = items[k];
        std::int64_t value = 0;
        const char* end = item.data() + item.size();
        const auto [ptr, ec] =
            std::from_chars(item.data() + (item.starts_with('+') ? 1 : 0), end, value);
        if (item.empty() || ec != std::errc() || ptr != end)
            return what + " index '" + std::string(item) + "' is not a whole number";
        if (value > largest || value < -largest)
            return what + " index '" + std::string(item) + "' is too large (at most " +
                   std::to_string(largest) + ")";
        out[k] = value;
    }
    if (static_cast<int>(items.size()) != n)
        return what + " needs " + std::to_string(n) + " indices for the " +
               std::string(systemName(system)) + " system, not " + std::to_string(items.size());
    return {};
}

bool isZero(const AxisIndices& h) {
    for (const std::int64_t v : h)
        if (v != 0) return false;
    return true;
}

}  // namespace

const ExactInnerProducts& exactInnerProducts(QuasicrystalSystem system) {
    static const ExactInnerProducts tables[4] = {octagonal(), decagonal(), dodecagonal(),
                                                 icosahedral()};
    return tables[systemCode(system) - 1];
}

ZoneForms zoneForms(QuasicrystalSystem system, const AxisIndices& axis) {
    const ExactInnerProducts& p = exactInnerProducts(system);
    const int n = indexDimensionOf(system);
    ZoneForms f;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            f.rational[i] += p.rational[i][j] * axis[j];
            f.irrational[i] += p.irrational[i][j] * axis[j];
        }
    return f;
}

bool inZone(const ZoneForms& forms, const int h[6], int n) {
    std::int64_t rational = 0, irrational = 0;
    for (int i = 0; i < n; ++i) {
        rational += forms.rational[i] * h[i];
        irrational += forms.irrational[i] * h[i];
    }
    return rational == 0 && irrational == 0;
}

std::vector<ZonePreset> zonePresets(QuasicrystalSystem system) {
    switch (system) {
        case QuasicrystalSystem::Icosahedral:
            return {{"fivefold", "along the first basis vector", {1, 0, 0, 0, 0, 0}},
                    {"threefold",
                     "the sum of three mutually adjacent basis vectors",
                     {1, 1, 1, 0, 0, 0}},
                    {"twofold",
                     "the sum of two basis vectors 63.43 degrees apart",
                     {1, 1, 0, 0, 0, 0}}};
        case QuasicrystalSystem::Decagonal:
            return {{"periodic", "the periodic axis", {0, 0, 0, 0, 1, 0}},
                    {"twofold-a", "in the plane, along a basis vector", {1, 0, 0, 0, 0, 0}},
                    {"twofold-b", "in the plane, between two basis vectors", {0, 1, 1, 0, 0, 0}}};
        case QuasicrystalSystem::Octagonal:
        case QuasicrystalSystem::Dodecagonal:
            return {{"periodic", "the periodic axis", {0, 0, 0, 0, 1, 0}},
                    {"twofold-a", "in the plane, along a basis vector", {1, 0, 0, 0, 0, 0}},
                    {"twofold-b", "in the plane, between two basis vectors", {1, 1, 0, 0, 0, 0}}};
    }
    return {};
}

std::string parseZoneAxis(std::string_view text, QuasicrystalSystem system, AxisIndices& axis) {
    text = trimmed(text);
    const int n = indexDimensionOf(system);
    if (text.empty())
        return "the zone axis is empty: give " + std::to_string(n) +
               " whole numbers separated by blanks or commas, or one of " + presetList(system);
    const bool named = text.front() >= 'a' && text.front() <= 'z';
    if (named) {
        for (const ZonePreset& p : zonePresets(system))
            if (p.name == text) {
                axis = p.axis;
                return {};
            }
        return "the zone axis '" + std::string(text) + "' is not an axis of the " +
               std::string(systemName(system)) + " system; use " + presetList(system) + " or " +
               std::to_string(n) + " indices";
    }
    AxisIndices read{};
    const std::string problem = readIndices(text, system, kLargestAxisIndex, "the zone axis", read);
    if (!problem.empty()) return problem;
    if (isZero(read)) return "the zone axis cannot be zero: give at least one index that is not 0";
    axis = read;
    return {};
}

std::string parseReflectionIndices(std::string_view text, QuasicrystalSystem system,
                                   std::array<int, 6>& h) {
    text = trimmed(text);
    const int n = indexDimensionOf(system);
    if (text.empty())
        return "no reflection given: type its " + std::to_string(n) +
               " indices separated by blanks or commas";
    AxisIndices read{};
    const std::string problem =
        readIndices(text, system, kLargestReflectionIndex, "the reflection", read);
    if (!problem.empty()) return problem;
    if (isZero(read)) return "the reflection cannot be the origin: give a non-zero index";
    for (std::size_t i = 0; i < 6; ++i) h[i] = static_cast<int>(read[i]);
    return {};
}

std::array<double, 3> axisParallelPart(const LatticeBasis& basis, const AxisIndices& axis) {
    const int n = basis.n;
    const int parallel[3] = {0, 1, n == 5 ? 4 : 2};
    std::array<double, 3> u{};
    for (int c = 0; c < 3; ++c)
        for (int j = 0; j < n; ++j)
            u[static_cast<std::size_t>(c)] +=
                static_cast<double>(axis[static_cast<std::size_t>(j)]) *
                basis.direct(j, parallel[c]);
    return u;
}

}  // namespace tesral
