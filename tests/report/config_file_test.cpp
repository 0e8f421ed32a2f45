#include "report/config_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "engine/groups.h"
#include "engine/wavelength.h"

using namespace tesral;

namespace {

const std::string kDefaultLines =
    " 1 \r\n 13 \r\nTrue\r\n2.82\r\n12.06\r\n2\r\n2\r\n2\r\n2\r\n2\r\n2\r\n 0 \r\n"
    "1.0\r\n30.0\r\n1.0\r\n0   2   2   1   0\r\n";

/** The sixteen values in file order, the wavelength last: one string to compare. */
std::string summary(const ConfigValues& v) {
    std::string text = configText(v) + "wavelength " + v.inputs.wavelength;
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) {
        text.erase(at, 1);
        text[at] = '|';
    }
    return text;
}

}  // namespace

TEST(ConfigFile, DefaultsAreTheWindowsStartUpInputs) {
    const ConfigValues defaults;
    EXPECT_EQ(configText(defaults), kDefaultLines);
    EXPECT_EQ(defaults.inputs.wavelength, wavelengthText(meanWavelength(0)));
    EXPECT_EQ(groupsOfSystem(defaults.inputs.system).at(13).symbol, "P10.5/mmc");

    ConfigValues negative;
    negative.inputs.groupPosition = -1;
    EXPECT_EQ(configText(negative).substr(5, 5), "-1 \r\n");
}

TEST(ConfigFile, WrittenFileReadsBackWhole) {
    ConfigValues written;
    written.inputs.system = QuasicrystalSystem::Icosahedral;
    written.inputs.groupPosition = 5;
    written.inputs.convention = MatrixConvention::Steurer;
    written.inputs.a = "5,1";  // a comma stays inside its line
    written.inputs.loopLimits = {"1", "2", "3", "4", "5", "6"};
    written.anodePosition = 6;
    written.inputs.wavelength = wavelengthText(meanWavelength(6));
    written.searchText = "1, 0, 0";
    ConfigValues read;
    EXPECT_EQ(applyConfigText(configText(written), read), kConfigLineCount);
    EXPECT_EQ(summary(read), summary(written));
}

TEST(ConfigFile, ReadingStopsAtTheFirstLineThatCannotBeApplied) {
    const auto lines = [](std::initializer_list<const char*> list, const char* end = "\r\n") {
        std::string text;
        for (const char* line : list) text += std::string(line) + end;
        return text;
    };
    struct Case {
        const char* what;
        std::string text;
        int applied;
        std::string expected;  // summary() of the values read
    };
    const std::string defaults = summary(ConfigValues{});
    const auto changed =
        [&defaults](std::initializer_list<std::pair<std::string, std::string>> edits) {
            std::string text = defaults;
            for (const auto& [from, to] : edits) text.replace(text.find(from), from.size(), to);
            return text;
        };
    const Case cases[] = {
        {"empty file", "", 0, defaults},
        {"system out of range", lines({" 4 ", " 0 "}), 0, defaults},
        {"group out of range: the system keeps its default group", lines({" 0 ", " 49 ", "False"}),
         1, changed({{" 1 | 13 ", " 0 | 31 "}})},
        {"negative group", lines({" 1 ", "-1 "}), 1, changed({{" 13 ", " 11 "}})},
        {"not a number", lines({" 1x "}), 0, defaults},
        {"any text without True is Steurer", lines({" 2 ", " 0 ", "true"}), 3,
         changed({{" 1 | 13 |True", " 2 | 0 |False"}})},
        {"truncated file", lines({" 1 ", " 2 ", "True", "3.1", "9"}), 5,
         changed({{" 13 ", " 2 "}, {"2.82|12.06", "3.1|9"}})},
        {"anode out of range",
         lines({" 1 ", " 13 ", "True", "2.82", "12.06", "2", "2", "2", "2", "2", "2", " 8 "}), 11,
         defaults},
        {"anode sets the wavelength",
         lines({" 1 ", " 13 ", "True", "2.82", "12.06", "2", "2", "2", "2", "2", "2", "1"}), 12,
         changed({{"| 0 |", "| 1 |"}, {"0.7106867", wavelengthText(meanWavelength(1))}})},
        {"line feeds only, leading blanks skipped",
         lines({"1", "13", "True", "  2.9", "12.06", "2", "2", "2", "2", "2", "2", "0", "1.0",
                "30.0", "1.0", " 0   2"},
               "\n"),
         16, changed({{"2.82", "2.9"}, {"0   2   2   1   0", "0   2"}})},
        {"a control character in a text", lines({" 1 ", " 13 ", "True", "2\t82"}), 3, defaults},
        {"binary garbage",
         std::string("\x7f"
                     "ELF\x02\x01\x01\0\0\0\n\x89PNG\r\n",
                     17),
         0, defaults},
    };
    for (const Case& c : cases) {
        ConfigValues values;
        EXPECT_EQ(applyConfigText(c.text, values), c.applied) << c.what;
        EXPECT_EQ(summary(values), c.expected) << c.what;
    }
}

TEST(ConfigFile, FileRoundTripAndMissingFile) {
    const std::string path = testing::TempDir() + "tesral_config_test.cfg";
    ConfigValues written;
    written.inputs.thetaMax = "45";
    ASSERT_FALSE(writeConfigFile(path, written));
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    EXPECT_EQ(bytes, configText(written));
    ConfigValues read;
    EXPECT_EQ(readConfigFile(path, read), kConfigLineCount);
    EXPECT_EQ(read.inputs.thetaMax, "45");
    std::remove(path.c_str());
    EXPECT_EQ(readConfigFile(path, read), std::nullopt);
}
