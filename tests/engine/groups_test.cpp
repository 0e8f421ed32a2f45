#include "engine/groups.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>

using namespace tesral;

namespace {

SelectedGroup groupNumber(int number) {
    for (const auto system : {QuasicrystalSystem::Octagonal, QuasicrystalSystem::Decagonal,
                              QuasicrystalSystem::Dodecagonal, QuasicrystalSystem::Icosahedral}) {
        const auto list = groupsOfSystem(system);
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i].number == number) {
                SelectedGroup g;
                selectGroup(system, static_cast<int>(i), g);
                return g;
            }
    }
    return {};
}

ReflectionRecord reflection(std::initializer_list<int> h, int directionClass = 0) {
    ReflectionRecord r;
    int i = 0;
    for (const int v : h) r.v[kH1 + i++] = static_cast<float>(v);
    r.directionClass = static_cast<DirectionClass>(directionClass);
    return r;
}

}  // namespace

TEST(Catalogue, ListsAndDefaults) {
    const struct {
        QuasicrystalSystem system;
        size_t count;
        int defaultNumber;
        const char* defaultSymbol;
    } lists[] = {{QuasicrystalSystem::Octagonal, 49, 32, "P8/mmm"},
                 {QuasicrystalSystem::Decagonal, 15, 61, "P10/mmm"},
                 {QuasicrystalSystem::Dodecagonal, 10, 72, "P12/mmm"},
                 {QuasicrystalSystem::Icosahedral, 11, 75, "P235"}};
    for (const auto& l : lists) {
        const auto groups = groupsOfSystem(l.system);
        ASSERT_EQ(groups.size(), l.count);
        const auto& g = groups[defaultGroupPosition(l.system)];
        EXPECT_EQ(g.number, l.defaultNumber);
        EXPECT_EQ(g.symbol, l.defaultSymbol);
    }
    SelectedGroup g;
    EXPECT_FALSE(selectGroup(QuasicrystalSystem::Decagonal, 15, g));
    EXPECT_FALSE(selectGroup(QuasicrystalSystem::Decagonal, -1, g));
}

TEST(Catalogue, CodesAndStatusTexts) {
    EXPECT_EQ(groupNumber(6).codes, "Eoa Oea ");
    EXPECT_EQ(groupNumber(32).codes, "");
    EXPECT_EQ(groupNumber(32).statusText(), "extinction rules: none");
    EXPECT_EQ(groupNumber(6).statusText(), "extinction rules: Eoa Oea ");
    EXPECT_EQ(groupNumber(63).symbol, "P10.5/mmc");
    EXPECT_EQ(groupNumber(76).statusText(), "extinction rules: h1=5n for h1 h2 h2 h2 h2 h2 ");
    const auto ico = groupsOfSystem(QuasicrystalSystem::Icosahedral);
    EXPECT_EQ(ico[1].conditionText, "h1=5n for  h1 h2 h2 h2 h2 h2");
    EXPECT_EQ(ico[3].conditionText, "h1+5h2=10n  for h1 h2 h2 h2 h2 h2");
}

TEST(Catalogue, TypedConditionsAgreeWithTheListedWords) {
    // The list shows the words and the symbol; the rules read the typed fields.
    const std::pair<std::string, ConditionFlags> known[] = {
        {"Oa", kOa},   {"Ob", kOb}, {"Oea", kOea}, {"Oab", kOab},
        {"Eoa", kEoa}, {"Zo", kZo}, {"Zoa", kZoa}, {"Aoa", kAoa}};
    int number = 1;
    for (const auto system : {QuasicrystalSystem::Octagonal, QuasicrystalSystem::Decagonal,
                              QuasicrystalSystem::Dodecagonal, QuasicrystalSystem::Icosahedral})
        for (const SpaceGroupEntry& g : groupsOfSystem(system)) {
            EXPECT_EQ(g.number, number++);
            const Centring centring = g.symbol[0] == 'F'   ? Centring::Face
                                      : g.symbol[0] == 'I' ? Centring::Body
                                                           : Centring::Primitive;
            EXPECT_EQ(g.centring, centring) << g.symbol;
            ConditionFlags words = 0;
            std::istringstream listed{std::string(g.conditionText)};
            for (std::string word; listed >> word;)
                for (const auto& [name, flag] : known)
                    if (word == name) words |= flag;
            EXPECT_EQ(g.conditions, words) << g.symbol;
            EXPECT_EQ(g.indexCondition != IndexCondition::None, g.conditionText.starts_with('h'))
                << g.symbol;
        }
}

TEST(IsExtinct, ConditionCases) {
    struct Case {
        int group;
        std::initializer_list<int> h;
        int directionClass;
        bool extinct;
    } cases[] = {
        {32, {1, 0, 0, 0, 0}, 1, false},  // no words, primitive
        {2, {1, 0, 0, 0, 0}, 0, true},    // I: S odd
        {2, {1, 1, 0, 0, 0}, 0, false},
        {13, {1, 0, 0, 0, 1}, 2, false},  // I-82c: only the sum test (S even)
        {13, {1, 1, 0, 0, 1}, 0, true},
        {5, {1, 0, 0, 0, 1}, 1, true},  // Oa
        {5, {1, 0, 0, 0, 2}, 1, false},
        {5, {1, 0, 0, 0, 1}, 2, false},
        {9, {1, 0, 0, 0, 1}, 2, true},  // Ob
        {9, {1, 0, 0, 0, 1}, 1, false},
        {9, {0, 0, 0, 0, 1}, 1, true},  // the periodic axis is "between" too
        {9, {0, 0, 0, 0, 2}, 1, false},
        {63, {0, 0, 0, 0, -1}, 1, true},
        {18, {1, 0, 0, 0, 1}, 1, true},  // Oab
        {18, {1, 0, 0, 0, 1}, 2, true},
        {18, {1, 0, 0, 0, 1}, 0, false},
        {6, {1, 0, 0, 0, 1}, 1, true},  // Oea: S = 2 even, l odd
        {6, {1, 0, 0, 0, 0}, 1, true},  // Eoa: l even, S odd
        {6, {1, 1, 0, 0, 0}, 1, false},
        {36, {1, 0, 0, 0, 0}, 0, true},  // Zo
        {36, {1, 1, 0, 0, 0}, 0, false},
        {36, {1, 0, 0, 0, 1}, 0, false},
        {8, {1, 0, 0, 0, 0}, 1, true},  // Zoa
        {8, {1, 0, 0, 0, 0}, 0, false},
        {4, {1, 0, 0, 0, 2}, 1, true},  // Aoa: any l, S odd, along
        {4, {1, 0, 0, 0, 1}, 1, false},
        {4, {1, 0, 0, 0, 0}, 2, false},
        {79, {1, 1, 1, 1, 1, 1}, 0, false},  // F: one parity
        {79, {2, 0, 0, 0, 0, 0}, 0, false},
        {79, {1, 0, 0, 0, 0, 0}, 0, true},
        {76, {5, 1, 1, 1, 1, 1}, 0, true},
        {76, {0, 2, 2, 2, 2, 2}, 0, true},
        {76, {1, 1, 1, 1, 1, 1}, 0, false},
        {80, {5, 1, 1, 1, 1, 1}, 0, true},  // F and 5 + 5 = 10
        {80, {3, 1, 1, 1, 1, 1}, 0, false},
        {82, {1, 2, -1, -2, 3, 1}, 0, true},
        {82, {1, 2, -1, -2, 3, 0}, 0, false},
        {85, {1, 1, -1, -1, 1, 1}, 0, true},
        {85, {1, 1, -1, -1, 3, 1}, 0, false},
        {78, {1, 0, 0, 0, 0, 0}, 0, true},  // I235.1: body centring decides
        {78, {5, 1, 1, 1, 1, 1}, 0, false},
    };
    for (const Case& c : cases) {
        const SelectedGroup g = groupNumber(c.group);
        const int n = c.h.size() == 6 ? 6 : 5;
        const ExtinctionRules rules(g, n);
        EXPECT_EQ(rules.isExtinct(reflection(c.h, c.directionClass)), c.extinct)
            << "group " << c.group << " first index " << *c.h.begin();
    }
}
