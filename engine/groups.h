#pragma once

#include <string>
#include <vector>

#include "engine/reflection_table.h"
#include "lattice/lattice_basis.h"

namespace tesral {

/** One superspace group: its number (1..85), symbol and condition words. */
struct SpaceGroupEntry {
    int number = 0;
    std::string symbol;
    std::vector<std::string> words;
    /** The condition words as stored, inner blanks kept ("h1=5n for  h1 h2 ..."). */
    std::string conditionText;
};

/** The catalogue rows of groups 1..85 as stored (number, padded symbol, words). */
const std::vector<std::string>& groupCatalogueRows();

/** Cuts a text at runs of blanks; an empty or all-blank text gives one empty word. */
std::vector<std::string> splitWords(const std::string& text);

/** The groups of one system in list order. */
std::vector<SpaceGroupEntry> groupsOfSystem(QuasicrystalSystem system);

/** The list position selected when the user switches to the system. */
int defaultGroupPosition(QuasicrystalSystem system);

/** The group resolved at the start of a run. */
struct SelectedGroup {
    int number = 0;
    std::string symbol;
    std::string codes;  // every condition word followed by one blank
    std::string statusText() const { return "extinction rules: " + codes; }
};

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
    int groupNumber_;
    bool faceCentred_;
    bool bodyCentred_;
    bool oa_, ob_, oea_, oab_, eoa_, zo_, zoa_, aoa_;
    bool forbidsNothing_;  // no centring, word or index rule: every row is allowed
};

}  // namespace tesral
