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
