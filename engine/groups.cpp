#include "groups.h"

#include <array>
#include <cstddef>

namespace tesral {
namespace {

constexpr Centring P = Centring::Primitive;
constexpr Centring I = Centring::Body;
constexpr Centring F = Centring::Face;
using enum IndexCondition;

// Groups 1..85: number, symbol, centring, condition words of the axial groups, index
// condition of the icosahedral groups, and the conditions as listed.
constexpr std::array<SpaceGroupEntry, 85> kGroups = {{
    {1, "P-8", P, 0, None, ""},
    {2, "I-8", I, 0, None, ""},
    {3, "P-8m2", P, 0, None, ""},
    {4, "P-8b2", P, kAoa, None, "Aoa"},
    {5, "P-8c2", P, kOa, None, "Oa"},
    {6, "P-8n2", P, kEoa | kOea, None, "Eoa Oea"},
    {7, "P-82m", P, 0, None, ""},
    {8, "P-82.1m", P, kZoa, None, "Zoa"},
    {9, "P-82c", P, kOb, None, "Ob"},
    {10, "P-82.1c", P, kOb | kZoa, None, "Ob Zoa"},
    {11, "I-8m2", I, 0, None, ""},
    {12, "I-82m", I, 0, None, ""},
    {13, "I-82c", I, kOb, None, "Ob"},
    {14, "P8", P, 0, None, ""},
    {15, "I8", I, 0, None, ""},
    {16, "P8mm", P, 0, None, ""},
    {17, "P8bm", P, kAoa, None, "Aoa"},
    {18, "P8cc", P, kOab, None, "Oab"},
    {19, "P8nc", P, kOea | kOb | kEoa, None, "Oea Ob Eoa"},
    {20, "P8.4mc", P, kOb, None, "Ob"},
    {21, "P8.4bc", P, kOb | kAoa, None, "Ob Aoa"},
    {22, "P8.4cm", P, kOa, None, "Oa"},
    {23, "P8.4nm", P, kOea | kEoa, None, "Oea Eoa"},
    {24, "I8mm", I, 0, None, ""},
    {25, "I8mc", I, kOb, None, "Ob"},
    {26, "P822", P, 0, None, ""},
    {27, "P82.12", P, kZoa, None, "Zoa"},
    {28, "I822", I, 0, None, ""},
    {29, "P8/m", P, 0, None, ""},
    {30, "P8/n", P, kZo, None, "Zo"},
    {31, "I8/m", I, 0, None, ""},
    {32, "P8/mmm", P, 0, None, ""},
    {33, "P8/mbm", P, kAoa, None, "Aoa"},
    {34, "P8/mcc", P, kOab, None, "Oab"},
    {35, "P8/mnc", P, kOea | kOb | kEoa, None, "Oea Ob Eoa"},
    {36, "P8/nmm", P, kZo, None, "Zo"},
    {37, "P8/nbm", P, kAoa | kZo, None, "Aoa Zo"},
    {38, "P8/ncc", P, kOab | kZo, None, "Oab Zo"},
    {39, "P8/nnc", P, kOea | kEoa | kOb | kZo, None, "Oea Eoa Ob Zo"},
    {40, "P8.4/mmc", P, kOb, None, "Ob"},
    {41, "P8.4/mbc", P, kOb | kAoa, None, "Ob Aoa"},
    {42, "P8.4/mcm", P, kOa, None, "Oa"},
    {43, "P8.4/mnm", P, kOea | kEoa, None, "Oea Eoa"},
    {44, "P8.4/nmc", P, kOb | kZo, None, "Ob Zo"},
    {45, "P8.4/nbc", P, kOb | kAoa | kZo, None, "Ob Aoa Zo"},
    {46, "P8.4/ncm", P, kOa | kZo, None, "Oa Zo"},
    {47, "P8.4/nnm", P, kOea | kEoa | kZo, None, "Oea Eoa Zo"},
    {48, "I8/mmm", I, 0, None, ""},
    {49, "I8/mmc", I, kOb, None, "Ob"},
    {50, "P-10m2", P, 0, None, ""},
    {51, "P-10c2", P, kOa, None, "Oa"},
    {52, "P-102m", P, 0, None, ""},
    {53, "P-102c", P, kOb, None, "Ob"},
    {54, "P10", P, 0, None, ""},
    {55, "P10mm", P, 0, None, ""},
    {56, "P10cc", P, kOab, None, "Oab"},
    {57, "P10.5mc", P, kOb, None, "Ob"},
    {58, "P10.5cm", P, kOa, None, "Oa"},
    {59, "P1022", P, 0, None, ""},
    {60, "P10/m", P, 0, None, ""},
    {61, "P10/mmm", P, 0, None, ""},
    {62, "P10/mcc", P, kOab, None, "Oab"},
    {63, "P10.5/mmc", P, kOb, None, "Ob"},
    {64, "P10.5/mcm", P, kOa, None, "Oa"},
    {65, "P-122m", P, 0, None, ""},
    {66, "P12", P, 0, None, ""},
    {67, "P12mm", P, 0, None, ""},
    {68, "P12.6cm", P, kOa, None, "Oa"},
    {69, "P12cc", P, kOab, None, "Oab"},
    {70, "P1222", P, 0, None, ""},
    {71, "P12/m", P, 0, None, ""},
    {72, "P12/mmm", P, 0, None, ""},
    {73, "P12.6/mcm", P, kOa, None, "Oa"},
    {74, "P12/mcc", P, kOab, None, "Oab"},
    {75, "P235", P, 0, None, ""},
    {76, "P235.1", P, 0, H1Multiple5, "h1=5n for  h1 h2 h2 h2 h2 h2"},
    {77, "I235", I, 0, None, ""},
    {78, "I235.1", I, 0, H1Plus5H2Multiple10, "h1+5h2=10n  for h1 h2 h2 h2 h2 h2"},
    {79, "F235", F, 0, None, ""},
    {80, "F235.1", F, 0, H1Plus5H2Multiple10, "h1+5h2=10n  for h1 h2 h2 h2 h2 h2"},
    {81, "Pm-3-5", P, 0, None, ""},
    {82, "Pn-3-5", P, 0, H5MinusH6Multiple2, "h5-h6=2n  for h1 h2 -h1 -h2 h5 h6"},
    {83, "Im-3-5", I, 0, None, ""},
    {84, "Fm-3-5", F, 0, None, ""},
    {85, "Fn-3-5", F, 0, H5MinusH6Multiple4, "h5-h6=4n  for h1 h2 -h1 -h2 h5 h6"},
}};

/** A group's condition words, each followed by one blank, as the status line shows them. */
struct CodesText {
    std::array<char, 40> chars{};
    std::size_t size = 0;
    std::string text() const { return std::string(chars.data(), size); }
};

constexpr CodesText codesOf(std::string_view listed) {
    CodesText codes;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (listed[i] == ' ') continue;
        codes.chars[codes.size++] = listed[i];
        if (i + 1 == listed.size() || listed[i + 1] == ' ') codes.chars[codes.size++] = ' ';
    }
    return codes;
}

// Worked out when compiling: a lookup only copies.
constexpr auto kCodes = [] {
    std::array<CodesText, kGroups.size()> all{};
    for (std::size_t i = 0; i < kGroups.size(); ++i) all[i] = codesOf(kGroups[i].conditionText);
    return all;
}();

struct SystemRange {
    int firstIndex;  // catalogue index of list position 0
    int count;
};

SystemRange rangeOf(QuasicrystalSystem system) {
    switch (system) {
        case QuasicrystalSystem::Octagonal:
            return {0, 49};
        case QuasicrystalSystem::Decagonal:
            return {49, 15};
        case QuasicrystalSystem::Dodecagonal:
            return {64, 10};
        case QuasicrystalSystem::Icosahedral:
            return {74, 11};
    }
    return {0, 0};
}

bool isOdd(int k) {
    return k % 2 != 0;
}
bool isEven(int k) {
    return k % 2 == 0;
}

}  // namespace

std::span<const SpaceGroupEntry> groupsOfSystem(QuasicrystalSystem system) {
    const SystemRange range = rangeOf(system);
    return std::span(kGroups).subspan(static_cast<std::size_t>(range.firstIndex),
                                      static_cast<std::size_t>(range.count));
}

int defaultGroupPosition(QuasicrystalSystem system) {
    switch (system) {
        case QuasicrystalSystem::Octagonal:
            return 31;
        case QuasicrystalSystem::Decagonal:
            return 11;
        case QuasicrystalSystem::Dodecagonal:
            return 7;
        case QuasicrystalSystem::Icosahedral:
            return 0;
    }
    return 0;
}

Centring groupCentring(int number) {
    if (number < 1 || number > static_cast<int>(kGroups.size())) return Centring::Primitive;
    return kGroups[static_cast<std::size_t>(number - 1)].centring;
}

bool selectGroup(QuasicrystalSystem system, int position, SelectedGroup& out) {
    const SystemRange range = rangeOf(system);
    if (position < 0 || position >= range.count) return false;
    const auto p = static_cast<std::size_t>(range.firstIndex + position);
    out.number = kGroups[p].number;
    out.symbol = kGroups[p].symbol;
    out.codes = kCodes[p].text();
    return true;
}

ExtinctionRules::ExtinctionRules(const SelectedGroup& group, int indexDimension)
    : n_(indexDimension) {
    if (group.number < 1 || group.number > static_cast<int>(kGroups.size())) return;
    const SpaceGroupEntry& entry = kGroups[static_cast<std::size_t>(group.number - 1)];
    centring_ = entry.centring;
    conditions_ = entry.conditions;
    indexCondition_ = entry.indexCondition;
    const bool words = n_ == 5 && conditions_ != 0;
    const bool indexRule = n_ == 6 && indexCondition_ != IndexCondition::None;
    forbidsNothing_ = centring_ == Centring::Primitive && !words && !indexRule;
}

bool ExtinctionRules::isExtinct(const ReflectionRecord& row) const {
    if (forbidsNothing_) return false;
    int h[6];
    for (int i = 0; i < 6; ++i) h[i] = static_cast<int>(row.h(i));
    int sum = 0;
    for (int i = 0; i < n_; ++i) sum += h[i];

    if (centring_ == Centring::Face) {
        for (int i = 0; i < 5; ++i)
            if (isOdd(h[i]) != isOdd(h[i + 1])) return true;
    }
    if (centring_ == Centring::Body) return isOdd(sum);

    if (n_ == 5) {
        const int l = h[4];
        const DirectionClass t = row.directionClass;
        // A reflection on the periodic axis lies in every plane through it, so on the main
        // directions and between them at once: the words of both classes apply.
        const bool onAxis = h[0] == 0 && h[1] == 0 && h[2] == 0 && h[3] == 0;
        const bool along = onAxis || t == DirectionClass::AlongMain;
        const bool between = onAxis || t == DirectionClass::BetweenMain;
        const auto has = [this](ConditionWord word) { return (conditions_ & word) != 0; };
        if (has(kOa) && along && isOdd(l)) return true;
        if (has(kOb) && between && isOdd(l)) return true;
        if (has(kOea) && isEven(sum) && along && isOdd(l)) return true;
        if (has(kOab) && (along || between) && isOdd(l)) return true;
        if (has(kEoa) && isEven(l) && along && isOdd(sum)) return true;
        if (has(kZo) && l == 0 && isOdd(sum)) return true;
        if (has(kZoa) && l == 0 && along && isOdd(sum)) return true;
        // "Aoa": any l, S odd, along a main direction.
        if (has(kAoa) && along && isOdd(sum)) return true;
        return false;
    }

    const bool h2ToH6Equal = h[1] == h[2] && h[2] == h[3] && h[3] == h[4] && h[4] == h[5];
    const bool oppositePairs = h[2] == -h[0] && h[3] == -h[1];
    switch (indexCondition_) {
        case IndexCondition::H1Multiple5:
            return h2ToH6Equal && h[0] % 5 == 0;
        case IndexCondition::H1Plus5H2Multiple10:
            return h2ToH6Equal && (h[0] + 5 * h[1]) % 10 == 0;
        case IndexCondition::H5MinusH6Multiple2:
            return oppositePairs && isEven(h[4] - h[5]);
        case IndexCondition::H5MinusH6Multiple4:
            return oppositePairs && (h[4] - h[5]) % 4 == 0;
        case IndexCondition::None:
            return false;
    }
    return false;
}

}  // namespace tesral
