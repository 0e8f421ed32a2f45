#include "physics/calculation.h"

#include <gtest/gtest.h>

#include "engine/zone_axis.h"

using namespace tesral;
using namespace tesral::physics;

namespace {

Calculation icosahedralWithLimits(const std::string& limit) {
    RunInputs in;
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = 0;
    in.loopLimits.fill(limit);
    std::string error;
    const std::optional<Calculation> c = calculationFrom(in, std::nullopt, error);
    EXPECT_TRUE(c) << error;
    return *c;
}

TEST(CalculationZone, TheWholeSectionIsThatOfLimitsWideEnoughAndTheCutIsTold) {
    ZoneRequest request;
    ASSERT_EQ(parseZoneAxis("twofold", QuasicrystalSystem::Icosahedral, request.axis), "");
    const Calculation narrow = icosahedralWithLimits("1");
    const ZoneResult cut = zone(narrow, request);
    const ZoneResult whole = zone(narrow, request, {}, ZoneExtent::WholeSection);
    const ZoneResult wide = zone(icosahedralWithLimits("8"), request);
    ASSERT_TRUE(cut.ok() && whole.ok() && wide.ok());
    EXPECT_TRUE(cut.cutByLimits);
    EXPECT_FALSE(whole.cutByLimits);
    EXPECT_FALSE(wide.cutByLimits);
    EXPECT_LT(cut.section.run.table.size(), whole.section.run.table.size());
    EXPECT_EQ(whole.section.run.table.size(), wide.section.run.table.size());
}

}  // namespace
