#include "physics/measured_pattern.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>

#include "physics/measured_pattern_peaks.h"

using namespace tesral::physics;

namespace {

TEST(MeasuredPattern, ReadsColumnsCommentsHeaderAndPeakLists) {
    std::istringstream pattern("! made by hand\nangle,counts\n10,1\n11;2 # note\n12\t3 7\n");
    const MeasuredData p = readMeasured(pattern, "p.xy");
    EXPECT_EQ(p.kind, MeasuredKind::Pattern);
    EXPECT_EQ(p.twoTheta, (std::vector<double>{10, 11, 12}));
    EXPECT_EQ(p.intensity, (std::vector<double>{1, 2, 3}));
    std::istringstream peaks("45.1\n42.8 100\n");
    const MeasuredData l = readMeasured(peaks, "l.txt");
    EXPECT_EQ(l.kind, MeasuredKind::PeakList);
    EXPECT_EQ(l.twoTheta, (std::vector<double>{42.8, 45.1}));
    EXPECT_EQ(l.intensity, (std::vector<double>{100, 1}));
}

TEST(MeasuredPattern, NamesTheFileAndLineOfEachMistake) {
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"10 1\nabc def\n", "m.xy:2: no numbers"},
        {"# c\n2theta I\n10 1\n11 nan\n", "m.xy:4: 'nan' is not a finite number"},
        {"10;1\ninf 2\n", "m.xy:2: 'inf' is not a finite number"},
        {"10 1\n190 2\n", "m.xy:2: 2-theta 190 lies outside 0..180 degrees"},
        {"-1 1\n10 2\n", "m.xy:1: 2-theta -1 lies outside 0..180 degrees"},
        {"10 1\n11\n", "m.xy:2: two numbers expected: 2-theta and intensity"},
        {"10 1\n", "m.xy: fewer than two points"},
        {"", "m.xy: fewer than two points (no data at all)"},
        {"# none\n", "m.xy: fewer than two points (no data at all)"},
        // Commas: decimal or between columns, never read silently as the other.
        {"42,875\n43,1\n",
         "m.xy:1: '42,875' could hold a decimal comma or two columns; write a point for "
         "decimals, or a blank or ';' between the columns"},
        {"10 1\n11 " + std::string(100000, '1') + "x\n",  // echoed cut in the middle
         "m.xy:2: '" + std::string(40, '1') + "..." + std::string(39, '1') + "x' is not a number"},
        {"10 1\n11\x01 2\n", "m.xy:2: no numbers"},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        try {
            readMeasured(in, "m.xy");
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
    const std::string big = (std::filesystem::temp_directory_path() / "tesral_big.xy").string();
    { std::ofstream out(big); }
    std::filesystem::resize_file(big, kLargestMeasuredFile + 1);  // sparse: no disk used
    try {
        readMeasuredFile(big);
        ADD_FAILURE() << "no error for a large file";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), big + ": the file is larger than 100 MB");
    }
    std::filesystem::remove(big);
    const std::string folder = std::filesystem::temp_directory_path().string();
    try {
        readMeasuredFile(folder);
        ADD_FAILURE() << "no error for a folder";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), folder + ": is a folder, not a file");
    }
}

TEST(MeasuredPattern, DecimalCommasAreReadWithANote) {
    const struct {
        const char* text;
        std::vector<double> twoTheta, intensity;
        bool note;
    } cases[] = {
        {"2theta I\n42,875 100,0\n43,5 7\n", {42.875, 43.5}, {100.0, 7.0}, true},
        {"42,875;100,0\n43;7\n", {42.875, 43}, {100.0, 7.0}, true},
        {"2theta,I\n42.875,100\n43,7\n", {42.875, 43}, {100.0, 7.0}, false},
        {"42, 100\n43, 7\n", {42, 43}, {100.0, 7.0}, false},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        const MeasuredData d = readMeasured(in, "m.xy");
        EXPECT_EQ(d.twoTheta, c.twoTheta) << c.text;
        EXPECT_EQ(d.intensity, c.intensity) << c.text;
        EXPECT_EQ(d.note.empty(), !c.note) << c.text;
    }
}

TEST(MeasuredPattern, OnlyRegularFilesAreRead) {
    const std::string pipe = (std::filesystem::temp_directory_path() / "tesral_pipe.xy").string();
    std::filesystem::remove(pipe);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe, std::string("/dev/zero"), std::string("/dev/urandom")}) {
        try {
            readMeasuredFile(path);
            ADD_FAILURE() << path;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()),
                      path +
                          ": is not a regular file (a pipe or a device); a pattern is read "
                          "from a file");
        }
    }
    std::filesystem::remove(pipe);
}

TEST(MeasuredPeaks, WindowExtremesMatchAPlainSearch) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> value(0, 9);  // ties on purpose
    std::vector<double> v(57);
    for (double& x : v) x = value(random);
    const std::ptrdiff_t n = std::ssize(v);
    for (const auto& [before, after] : {std::pair{3, -1}, {-1, 3}, {5, 5}, {0, 0}, {80, 80}}) {
        for (const bool largest : {true, false}) {
            const std::vector<double> fast = windowExtreme(v, before, after, largest);
            for (std::ptrdiff_t i = 0; i < n; ++i) {
                double best = largest ? -std::numeric_limits<double>::infinity()
                                      : std::numeric_limits<double>::infinity();
                for (std::ptrdiff_t k = std::max<std::ptrdiff_t>(0, i - before);
                     k <= std::min(n - 1, i + after); ++k)
                    best = largest ? std::max(best, v[k]) : std::min(best, v[k]);
                EXPECT_EQ(fast[i], best) << i << " " << before << " " << after;
            }
        }
    }
}

}  // namespace
