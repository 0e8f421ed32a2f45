#include "engine/run_parameters.h"

#include <gtest/gtest.h>

using namespace tesral;

TEST(RunHeader, OctagonalDefaults) {
    RunInputs in;
    in.system = QuasicrystalSystem::Octagonal;
    in.groupPosition = 31;
    const RunHeader h = buildRunHeader(in);
    EXPECT_EQ(h.groupText, "P8/mmm");
    EXPECT_EQ(h.latticeText, "a = 2.82, c = 12.06, loop = 22222, Yamamoto matrices");
    EXPECT_EQ(h.limitsText, "wavelength = 0.7106867, thmin = 1.0, thmax = 30.0, qimax = 1.0");
}

TEST(RunHeader, IcosahedralSteurerKeepsTextsAsTyped) {
    RunInputs in;
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = 0;
    in.convention = MatrixConvention::Steurer;
    in.a = " 5.1 ";
    in.loopLimits = {"1", "2.5", "x", "3", "4", "5"};
    const RunHeader h = buildRunHeader(in);
    EXPECT_EQ(h.groupText, "P235");
    EXPECT_EQ(h.latticeText, "a =  5.1 , loop = 12.5x345, Steurer matrices ");
}

TEST(RunParameters, ReadsNumbersAndRefusesWideLimits) {
    RunInputs in;
    in.loopLimits = {"2.5", "3.5", "", "1 2", "-1", "99999"};  // h6 unused for decagonal
    std::string error;
    auto p = readRunParameters(in, error);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->loopLimit, (std::array<int, 6>{2, 4, 0, 12, -1, 0}));
    EXPECT_EQ(p->groupNumber, 63);
    EXPECT_EQ(p->groupCodes, "Ob ");
    EXPECT_EQ(p->wavelength, 0.7106867);

    in.loopLimits[0] = "40000";
    EXPECT_FALSE(readRunParameters(in, error));
    EXPECT_EQ(error, kLoopLimitMessage);

    RunInputs ico;
    ico.system = QuasicrystalSystem::Icosahedral;
    ico.groupPosition = 0;
    ico.loopLimits = {"2", "2", "2", "2", "2", "99999"};
    EXPECT_FALSE(readRunParameters(ico, error));  // h6 counts for six indices
}

TEST(RunParameters, LatticeConstantsTooLargeOrNegativeAreRefusedByName) {
    const struct {
        const char* a;
        const char* c;
        const char* message;
    } cases[] = {
        {"1e999", "12.06", "The lattice constant a is too large."},
        {"2.82", "1D999", "The lattice constant c is too large."},
        {"-2.82", "12.06",
         "The lattice constant a must be positive; a negative value would mirror the pattern."},
        {"2.82", "-12",
         "The lattice constant c must be positive; a negative value would mirror the pattern."},
    };
    for (const auto& c : cases) {
        RunInputs in;
        in.a = c.a;
        in.c = c.c;
        std::string error;
        EXPECT_FALSE(readRunParameters(in, error)) << c.a << ' ' << c.c;
        EXPECT_EQ(error, c.message);
    }
}

TEST(EmptyRunReasons, NameTheFieldsThatExplainAnEmptyRun) {
    // std::string values: assigning the literals trips a GCC 12 -Wrestrict false alarm.
    const struct {
        std::string RunInputs::*field;
        std::string text;
        std::string reasons;
    } cases[] = {
        {&RunInputs::a, std::string("2.82"), ""},
        {&RunInputs::wavelength, std::string("0,7"), "the wavelength '0,7' is not a number"},
        {&RunInputs::thetaMax, std::string("0.5"), "theta max is below theta min"},
        // "abc" reads as 0: both the text and the order explain it.
        {&RunInputs::thetaMax, std::string("abc"),
         "theta max 'abc' is not a number; theta max is below theta min"},
        {&RunInputs::c, std::string("12 A"), "the lattice constant c '12 A' is not a number"},
    };
    for (const auto& c : cases) {
        RunInputs in;
        in.*c.field = c.text;
        EXPECT_EQ(joinReasons(emptyRunReasons(in)), c.reasons) << c.text;
    }
    RunInputs in;
    in.loopLimits[2] = std::string("-1");
    in.loopLimits[5] = std::string("x");  // h6 is not read for the decagonal system
    EXPECT_EQ(joinReasons(emptyRunReasons(in)), "a loop limit is negative");
    in.loopLimits[0] = std::string("ab");
    EXPECT_EQ(joinReasons(emptyRunReasons(in)),
              "the loop limit h1 'ab' is not a number; a loop limit is negative");
    RunInputs ico;
    ico.system = QuasicrystalSystem::Icosahedral;
    ico.groupPosition = 0;
    ico.c.clear();  // c is not read for the icosahedral system
    EXPECT_TRUE(emptyRunReasons(ico).empty());
}
