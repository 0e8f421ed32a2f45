#include "engine/number_reader.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tesral;

TEST(ReadNumber, TypedTexts) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"2.82", 2.82},  {"", 0},        {"abc", 0},    {"0,7", 0},     {"1 2", 12},
        {" 1\t2\n", 12}, {"-1.5", -1.5}, {"+.5", 0.5},  {"5.", 5},      {".", 0},
        {"-", 0},        {"1.5.3", 1.5}, {"1E3", 1000}, {"1e-2", 0.01}, {"2D2", 200},
        {"2d-1", 0.2},   {"1E", 1},      {"1E+", 1},    {"3x", 3},      {"&H1F", 31},
        {"&hff", 255},   {"&O17", 15},   {"&o8", 0},    {"&X1", 0},     {"12.06 A", 12.06},
        {"1 . 5", 1.5},  {"1E-999", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(readNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::isinf(readNumber("1E999")));
    EXPECT_TRUE(readNumber("-1E999") < 0);
}

TEST(ReadLoopLimit, HalvesGoToEvenAndRangeIsChecked) {
    struct Case {
        const char* text;
        std::optional<int> limit;
    } cases[] = {
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"2.51", 3},
        {"", 0},
        {"x", 0},
        {"32767", 32767},
        {"-32768", -32768},
        {"32767.5", std::nullopt},
        {"32768", std::nullopt},
        {"-32769", std::nullopt},
        {"1E999", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(readLoopLimit(c.text), c.limit) << '"' << c.text << '"';
}

TEST(IsNumberText, OnlyTextsReadWhole) {
    for (const char* text : {"2.82", " 1 2 ", "-.5", "1E999", "2D-1", "&H1F", "&O17"})
        EXPECT_TRUE(isNumberText(text)) << '"' << text << '"';
    for (const char* text : {"", "abc", "0,7", "3x", "1E", "&H", "&O8", "."})
        EXPECT_FALSE(isNumberText(text)) << '"' << text << '"';
}
