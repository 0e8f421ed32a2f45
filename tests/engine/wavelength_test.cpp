#include "engine/wavelength.h"

#include <gtest/gtest.h>

using namespace tesral;

TEST(Wavelength, AnodeTexts) {
    const char* expected[] = {"0.7106867", "1.541878", "1.659113",  "1.790197",
                              "1.937283",  "2.29092",  "0.5608337", "1.541878"};
    ASSERT_EQ(anodeTable().size(), 8u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(wavelengthText(meanWavelength(i)), expected[i]) << i;
    EXPECT_EQ(anodeTable()[kUserAnodePosition].name, "US");
}
