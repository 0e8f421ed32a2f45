#include "groups.h"

#include <algorithm>

namespace tesral {
namespace {

// Number, symbol and condition words, as stored; only the words matter.
const std::vector<std::string> kRows = {
    "1   P-8",
    "2   I-8",
    "3   P-8m2",
    "4   P-8b2       Aoa",
    "5   P-8c2       Oa",
    "6   P-8n2       Eoa Oea",
    "7   P-82m",
    "8   P-82.1m     Zoa",
    "9   P-82c       Ob",
    "10  P-82.1c     Ob Zoa",
    "11  I-8m2",
    "12  I-82m",
    "13  I-82c       Ob",
    "14  P8",
    "15  I8",
    "16  P8mm",
    "17  P8bm        Aoa",
    "18  P8cc        Oab",
    "19  P8nc        Oea Ob Eoa",
    "20  P8.4mc      Ob",
    "21  P8.4bc      Ob Aoa",
    "22  P8.4cm      Oa",
    "23  P8.4nm      Oea Eoa",
    "24  I8mm",
    "25  I8mc        Ob",
    "26  P822",
    "27  P82.12      Zoa",
    "28  I822",
    "29  P8/m",
    "30  P8/n        Zo",
    "31  I8/m",
    "32  P8/mmm",
    "33  P8/mbm      Aoa",
    "34  P8/mcc      Oab",
    "35  P8/mnc      Oea Ob Eoa",
    "36  P8/nmm      Zo",
    "37  P8/nbm      Aoa Zo",
    "38  P8/ncc      Oab Zo",
    "39  P8/nnc      Oea Eoa Ob Zo",
    "40  P8.4/mmc    Ob",
    "41  P8.4/mbc    Ob Aoa",
    "42  P8.4/mcm    Oa",
    "43  P8.4/mnm    Oea Eoa",
    "44  P8.4/nmc    Ob Zo",
    "45  P8.4/nbc    Ob Aoa Zo",
    "46  P8.4/ncm    Oa Zo",
    "47  P8.4/nnm    Oea Eoa Zo",
    "48  I8/mmm",
    "49  I8/mmc      Ob",
    "50  P-10m2",
    "51  P-10c2      Oa",
    "52  P-102m",
    "53  P-102c      Ob",
    "54  P10",
    "55  P10mm",
    "56  P10cc       Oab",
    "57  P10.5mc     Ob",
    "58  P10.5cm     Oa",
    "59  P1022",
    "60  P10/m",
    "61  P10/mmm",
    "62  P10/mcc     Oab",
    "63  P10.5/mmc   Ob",
    "64  P10.5/mcm   Oa",
    "65  P-122m",
    "66  P12",
    "67  P12mm",
    "68  P12.6cm     Oa",
    "69  P12cc       Oab",
    "70  P1222",
    "71  P12/m",
    "72  P12/mmm",
    "73  P12.6/mcm   Oa",
    "74  P12/mcc     Oab",
    "75  P235",
    "76  P235.1      h1=5n for  h1 h2 h2 h2 h2 h2",
    "77  I235",
    "78  I235.1      h1+5h2=10n  for h1 h2 h2 h2 h2 h2",
    "79  F235",
    "80  F235.1      h1+5h2=10n  for h1 h2 h2 h2 h2 h2",
    "81  Pm-3-5",
    "82  Pn-3-5      h5-h6=2n  for h1 h2 -h1 -h2 h5 h6",
    "83  Im-3-5",
    "84  Fm-3-5",
    "85  Fn-3-5      h5-h6=4n  for h1 h2 -h1 -h2 h5 h6",
};

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

const std::vector<std::string>& groupCatalogueRows() {
    return kRows;
}

std::vector<std::string> splitWords(const std::string& text) {
    std::vector<std::string> words;
    std::string current;
    for (const char ch : text) {
        if (ch == ' ') {
            if (!current.empty()) words.push_back(current);
            current.clear();
        } else {
            current += ch;
        }
    }
    if (!current.empty()) words.push_back(current);
    if (words.empty()) words.emplace_back();
    return words;
}

std::vector<SpaceGroupEntry> groupsOfSystem(QuasicrystalSystem system) {
    const SystemRange range = rangeOf(system);
    std::vector<SpaceGroupEntry> groups;
    for (int i = range.firstIndex; i < range.firstIndex + range.count; ++i) {
        const auto words = splitWords(kRows[i]);
        SpaceGroupEntry entry;
        entry.number = i + 1;
        entry.symbol = words.size() > 1 ? words[1] : std::string();
        entry.words.assign(words.begin() + std::min<size_t>(2, words.size()), words.end());
        if (!entry.words.empty()) {
            const std::string& row = kRows[i];
            const size_t symbolEnd = row.find(entry.symbol) + entry.symbol.size();
            const size_t start = row.find_first_not_of(' ', symbolEnd);
            entry.conditionText = row.substr(start, row.find_last_not_of(' ') + 1 - start);
        }
        groups.push_back(std::move(entry));
    }
    return groups;
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

bool selectGroup(QuasicrystalSystem system, int position, SelectedGroup& out) {
    const SystemRange range = rangeOf(system);
    if (position < 0 || position >= range.count) return false;
    const int p = range.firstIndex + position;
    const auto words = splitWords(kRows[p]);
    out.number = p + 1;
    out.symbol = words.size() > 1 ? words[1] : std::string();
    out.codes.clear();
    for (size_t i = 2; i < words.size(); ++i) out.codes += words[i] + " ";
    return true;
}

ExtinctionRules::ExtinctionRules(const SelectedGroup& group, int indexDimension)
    : n_(indexDimension), groupNumber_(group.number) {
    faceCentred_ = group.symbol.find('F') != std::string::npos;
    bodyCentred_ = group.symbol.find('I') != std::string::npos;
    const auto has = [&group](const char* word) {
        return group.codes.find(std::string(word) + " ") != std::string::npos;
    };
    oa_ = has("Oa");
    ob_ = has("Ob");
    oea_ = has("Oea");
    oab_ = has("Oab");
    eoa_ = has("Eoa");
    zo_ = has("Zo");
    zoa_ = has("Zoa");
    aoa_ = has("Aoa");
    const bool indexRule =
        n_ == 6 && (groupNumber_ == 76 || groupNumber_ == 78 || groupNumber_ == 80 ||
                    groupNumber_ == 82 || groupNumber_ == 85);
    const bool words = n_ == 5 && (oa_ || ob_ || oea_ || oab_ || eoa_ || zo_ || zoa_ || aoa_);
    forbidsNothing_ = !faceCentred_ && !bodyCentred_ && !words && !indexRule;
}

bool ExtinctionRules::isExtinct(const ReflectionRecord& row) const {
    if (forbidsNothing_) return false;
    int h[6];
    for (int i = 0; i < 6; ++i) h[i] = static_cast<int>(row.h(i));
    int sum = 0;
    for (int i = 0; i < n_; ++i) sum += h[i];

    if (faceCentred_) {
        for (int i = 0; i < 5; ++i)
            if (isOdd(h[i]) != isOdd(h[i + 1])) return true;
    }
    if (bodyCentred_) return isOdd(sum);

    if (n_ == 5) {
        const int l = h[4];
        const int t = row.directionClass;
        if (oa_ && t == 1 && isOdd(l)) return true;
        if (ob_ && t == 2 && isOdd(l)) return true;
        if (oea_ && isEven(sum) && t == 1 && isOdd(l)) return true;
        if (oab_ && (t == 1 || t == 2) && isOdd(l)) return true;
        if (eoa_ && isEven(l) && t == 1 && isOdd(sum)) return true;
        if (zo_ && l == 0 && isOdd(sum)) return true;
        if (zoa_ && l == 0 && t == 1 && isOdd(sum)) return true;
        // "Aoa": any l, S odd, along a main direction.
        if (aoa_ && t == 1 && isOdd(sum)) return true;
        return false;
    }

    const bool h2ToH6Equal = h[1] == h[2] && h[2] == h[3] && h[3] == h[4] && h[4] == h[5];
    const bool oppositePairs = h[2] == -h[0] && h[3] == -h[1];
    switch (groupNumber_) {
        case 76:
            return h2ToH6Equal && h[0] % 5 == 0;
        case 78:
        case 80:
            return h2ToH6Equal && (h[0] + 5 * h[1]) % 10 == 0;
        case 82:
            return oppositePairs && isEven(h[4] - h[5]);
        case 85:
            return oppositePairs && (h[4] - h[5]) % 4 == 0;
        default:
            return false;
    }
}

}  // namespace tesral
