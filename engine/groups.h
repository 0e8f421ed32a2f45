#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/reflection_table.h"
#include "lattice/lattice_basis.h"

namespace tesral {

/** The lattice centring, the first letter of the group symbol. */
enum class Centring : std::uint8_t { Primitive, Body, Face };

/** The condition words of the axial groups, one bit each. */
using ConditionFlags = std::uint16_t;
enum ConditionWord : ConditionFlags {
    kOa = 1u << 0,
    kOb = 1u << 1,
    kOea = 1u << 2,
    kOab = 1u << 3,
    kEoa = 1u << 4,
    kZo = 1u << 5,
    kZoa = 1u << 6,
    kAoa = 1u << 7,
};

/** The index conditions of the icosahedral groups. */
enum class IndexCondition : std::uint8_t {
    None,
    H1Multiple5,          // h1=5n for h1 h2 h2 h2 h2 h2
    H1Plus5H2Multiple10,  // h1+5h2=10n for h1 h2 h2 h2 h2 h2
    H5MinusH6Multiple2,   // h5-h6=2n for h1 h2 -h1 -h2 h5 h6
    H5MinusH6Multiple4,   // h5-h6=4n for h1 h2 -h1 -h2 h5 h6
};

/** One superspace group: its number (1..85), symbol and reflection conditions. */
struct SpaceGroupEntry {
    int number = 0;
    std::string_view symbol;
    Centring centring = Centring::Primitive;
    ConditionFlags conditions = 0;  // axial groups
    IndexCondition indexCondition = IndexCondition::None;
    /** The condition words as listed, inner blanks kept ("h1=5n for  h1 h2 ..."). */
    std::string_view conditionText;
};

/** The groups of one system in list order. */
std::span<const SpaceGroupEntry> groupsOfSystem(QuasicrystalSystem system);

/** The list position selected when the user switches to the system. */
int defaultGroupPosition(QuasicrystalSystem system);

/** The group resolved at the start of a run. */
struct SelectedGroup {
    int number = 0;
    std::string symbol;
    std::string codes;  // every condition word followed by one blank
    /** "extinction rules: " and the words, or "none" for a group without any. */
    std::string statusText() const {
        return "extinction rules: " + (codes.empty() ? std::string("none") : codes);
    }
};

/** The centring of group `number` (1..85); primitive for any other number. */
Centring groupCentring(int number);

/** Resolves position `position` of the system's list; nothing when it is out of range. */
bool selectGroup(QuasicrystalSystem system, int position, SelectedGroup& out);

/** The reflection conditions of a group, prepared once per run. */
class ExtinctionRules {
  public:
    ExtinctionRules(const SelectedGroup& group, int indexDimension);
    /** True when the group forbids the row (indices and direction class already set). */
    bool isExtinct(const ReflectionRecord& row) const;

  private:
    int n_;
    Centring centring_ = Centring::Primitive;
    ConditionFlags conditions_ = 0;                         // only with five indices
    IndexCondition indexCondition_ = IndexCondition::None;  // only with six indices
    bool forbidsNothing_ = true;  // no centring, word or index rule: every row is allowed
};

}  // namespace tesral
