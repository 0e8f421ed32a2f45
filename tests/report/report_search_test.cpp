#include "report/report_search.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <sstream>

#include "report/report_head.h"

using namespace tesral;

namespace {

/** Rows enough for several blocks on every core, with indices -9..9 and a few distinct values. */
ReflectionTable table(std::size_t rows) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> index(-9, 9);
    ReflectionTable t(rows);
    for (ReflectionRecord& r : t) {
        for (int i = 0; i < 5; ++i) r.v[i] = static_cast<float>(index(rng));
        r.v[kTheta] = static_cast<float>(index(rng) + 10) * 1.5f;
        r.v[kQi] = static_cast<float>(index(rng)) / 8.0f;
    }
    return t;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

// The rows searched a block at a time find what a search of the written report finds.
TEST(ReportSearch, RowsFindWhatTheFileFinds) {
    const ReflectionTable rows = table(70000);
    const RunHeader header{"P8/mmm", "a = 2.82, ...", "wavelength = 0.7106867, ...", {}, {}};
    const ReportOptions options{ReportColumns::all(5)};
    std::ostringstream out;
    writeReport(out, rows, header, options);
    const std::string text = out.str();
    const std::vector<std::string> head = reportHeadLines(rows.size(), header, options);

    struct Case {
        const char* needle;
        TextPlace from;
    };
    const Case cases[] = {
        {"tesral REPORT", {0, 0}},     // the first character, letter case ignored
        {"tesral report", {0, 1}},     // nothing after it
        {"-9  -9  -9  -9", {0, 0}},    // far down
        {"   9   9   9", {40000, 4}},  // from the middle of a row
        {"69999  ", {7, 0}},           // the row number of the last block
        {"theta", {4, 3}},             // in the head
        {"qi\r\n", {0, 0}},            // a line end never matches
        {"no such text", {0, 0}},
        {"3", {70006, 1000}},  // a column past the line's end
        {"3", {90000, 0}},     // past the last line
    };
    for (const Case& c : cases) {
        const std::optional<TextPlace> inText = findInText(text, c.needle, c.from);
        const std::optional<TextPlace> inRows = findInReport(head, rows, options, c.needle, c.from);
        EXPECT_EQ(inText, inRows) << c.needle;
        if (inText) {
            // The place names the line and column of the match.
            std::size_t start = 0;
            for (std::size_t line = 0; line < inText->line; ++line)
                start = text.find('\n', start) + 1;
            const std::string needle = c.needle;
            EXPECT_EQ(lower(text.substr(start + inText->column, needle.size())), lower(needle));
        }
    }
    EXPECT_EQ(findInReport(head, rows, options, "tesral REPORT", {}), (TextPlace{0, 0}));
    EXPECT_FALSE(findInReport(head, rows, options, "no such text", {}));
    // Told how far it is after each round of blocks; a stop ends it with nothing found.
    std::size_t rounds = 0;
    const auto stopAtOnce = [&rounds](std::size_t, std::size_t) {
        ++rounds;
        return false;
    };
    EXPECT_FALSE(findInReport(head, rows, options, "no such text", {}, stopAtOnce));
    EXPECT_EQ(rounds, 1u);
}
