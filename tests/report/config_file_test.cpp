#include "report/config_file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/wavelength.h"

using namespace tesral;

// Files restored through the window (a damaged group line, "False", commas, truncated and
// binary files) are tested with the window; here the rules the window tests do not reach.

TEST(ConfigFile, DefaultsAreTheWindowsStartUpInputs) {
    ConfigValues values;
    EXPECT_EQ(configText(values),
              " 1 \r\n 13 \r\nTrue\r\n2.82\r\n12.06\r\n2\r\n2\r\n2\r\n2\r\n2\r\n2\r\n 0 \r\n"
              "1.0\r\n30.0\r\n1.0\r\n0   2   2   1   0\r\n");
    EXPECT_EQ(values.inputs.wavelength, wavelengthText(meanWavelength(0)));
    values.inputs.groupPosition = -1;
    EXPECT_EQ(configText(values).substr(5, 5), "-1 \r\n");
}

TEST(ConfigFile, LinesAreAppliedUntilOneCannotBe) {
    const std::string head = " 1 \n 13 \nTrue\n2.82\n12.06\n2\n2\n2\n2\n2\n2\n";
    struct Case {
        const char* what;
        std::string text;
        int applied;
        std::string a;
        int groupPosition;
        int anode;
    } cases[] = {
        {"system out of range", " 4 \n 0 \n", 0, "2.82", 13, 0},
        {"negative group: the system's default group stays", " 1 \n-1 \n", 1, "2.82", 11, 0},
        {"not an integer", " 1x \n", 0, "2.82", 13, 0},
        {"integer beyond 16 bits", " 65537 \n", 0, "2.82", 13, 0},
        {"line feeds, leading blanks skipped", " 1\n 2\nTrue\n   3.5\n", 4, "3.5", 2, 0},
        {"control character in a text",
         " 1 \n 2 \nTrue\n3\x01"
         "5\n",
         3, "2.82", 2, 0},
        {"anode out of range", head + " 8 \n", 11, "2.82", 13, 0},
        {"anode", head + " 6 \n", 12, "2.82", 13, 6},
    };
    for (const Case& c : cases) {
        ConfigValues values;
        EXPECT_EQ(applyConfigText(c.text, values), c.applied) << c.what;
        EXPECT_EQ(values.inputs.a, c.a) << c.what;
        EXPECT_EQ(values.inputs.groupPosition, c.groupPosition) << c.what;
        EXPECT_EQ(values.anodePosition, c.anode) << c.what;
        EXPECT_EQ(values.inputs.wavelength, wavelengthText(meanWavelength(c.anode))) << c.what;
    }
}

TEST(ConfigFile, EncodingsAndLineEndsOfOtherEditorsAreRead) {
    const std::string lines[] = {" 0 ", " 5 ", "False", "2.5", "10", "3",  "3",  "3",
                                 "3",   "3",   "3",     " 2 ", "1",  "35", "1.2"};
    const std::string search = "4 0 \u00e9\U0001F600";  // the last line, as UTF-8
    const std::u16string search16 = u"4 0 \u00e9\U0001F600";
    const auto head = [&lines](const std::string& end) {
        std::string text;
        for (const std::string& line : lines) text += line + end;
        return text;
    };
    const auto utf16 = [](const std::string& ascii, const std::u16string& more, bool little) {
        std::u16string text(ascii.begin(), ascii.end());
        text += more;
        std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
        for (const char16_t c : text) {
            const char low = static_cast<char>(c & 0xff), high = static_cast<char>(c >> 8);
            bytes += little ? std::string{low, high} : std::string{high, low};
        }
        return bytes;
    };
    const std::string file = testing::TempDir() + "encodings.cfg";
    for (const std::string& bytes :
         {"\xEF\xBB\xBF" + head("\r\n") + search + "\r\n", head("\r") + search + "\r",
          utf16(head("\r\n"), search16 + u"\r\n", true), utf16(head("\n"), search16, false)}) {
        std::ofstream(file, std::ios::binary) << bytes;
        ConfigValues values;
        EXPECT_EQ(readConfigFile(file, values), 16) << bytes;
        EXPECT_EQ(values.inputs.groupPosition, 5) << bytes;
        EXPECT_EQ(values.searchText, search) << bytes;
    }
    std::filesystem::remove(file);
}

TEST(ConfigFile, OnlyRegularFilesAreReadOrWritten) {
    const std::string folder = testing::TempDir(), pipe = folder + "pipe.cfg";
    std::filesystem::remove(pipe);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);  // opening it to read or write would wait
    struct Case {
        std::string path;
        const char* reason;
    } cases[] = {{folder + "no-such-dir/Tesral.cfg", "No such file or directory"},
                 {pipe, "not a regular file"},
                 {folder, "Is a directory"}};
    for (const Case& c : cases) {
        ConfigValues values;
        std::string reason;
        EXPECT_EQ(readConfigFile(c.path, values, &reason), std::nullopt) << c.path;
        EXPECT_EQ(reason, c.reason) << c.path;
    }
    EXPECT_EQ(writeConfigFile(pipe, ConfigValues{}), "not a regular file");
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
    std::filesystem::remove(pipe);
}
