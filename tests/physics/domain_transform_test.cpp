#include "physics/domain_transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/generation.h"
#include "physics/row_projection.h"

using namespace tesral;
using namespace tesral::physics;

namespace {

/** The first row with indices `h`, or nullptr. */
const ReflectionRecord* findRow(const RunResult& run, const std::array<int, 6>& h) {
    for (const ReflectionRecord& row : run.table) {
        bool same = true;
        for (int i = 0; i < run.indexDimension; ++i) same = same && row.h(i) == h[i];
        if (same) return &row;
    }
    return nullptr;
}

}  // namespace

TEST(DomainTransform, FirstZerosOfSphereAndDisc) {
    for (const auto& [shape, zero] :
         {std::pair{DomainShape::Sphere, 0.71513}, std::pair{DomainShape::Disc, 0.60983}}) {
        OccupationDomain d;
        d.shape = shape;
        d.radius = 6.533;
        EXPECT_EQ(roundDomainTransform(d, 0.0), 1.0);
        EXPECT_NEAR(roundDomainTransform(d, zero / d.radius), 0.0, 2e-5);
        EXPECT_GT(roundDomainTransform(d, 0.99 * zero / d.radius), 0.0);
        EXPECT_LT(roundDomainTransform(d, 1.01 * zero / d.radius), 0.0);
    }
}

// i-AlPdMn, a6D = 6.45 angstrom, one sphere of the triacontahedron's volume.
TEST(DomainTransform, IcosahedralSphereOfTheThreeDimensionalPenroseTiling) {
    RunInputs in;
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = 0;
    in.a = "4.56084";
    in.thetaMax = "90";
    in.qiMax = "1E9";
    const RunResult run = runGeneration(in);
    ASSERT_EQ(run.status, RunStatus::Completed);
    const RowProjector projector(run.basis);
    OccupationDomain sphere;
    sphere.radius = 1.01286 * 4.56084 * std::numbers::sqrt2;
    EXPECT_NEAR(sphere.radius, 6.533, 5e-4);

    struct Case {
        std::array<int, 6> h;
        double d, perp, g;
    } cases[] = {
        {{2, 1, 1, 1, 1, 1}, 2.1533, 0.02588, 0.8916},
        {{2, 2, 1, 0, 0, 1}, 2.0479, 0.04403, 0.7092},
        {{1, 1, 1, 0, 0, 0}, 3.8263, 0.06170, 0.4893},
    };
    for (const Case& c : cases) {
        const ReflectionRecord* row = findRow(run, c.h);
        ASSERT_NE(row, nullptr) << c.d;
        const SplitVector q = projector.split(*row);
        EXPECT_NEAR(row->d(), c.d, 1e-4);
        EXPECT_NEAR(1.0 / q.parallelLength, c.d, 1e-4);
        EXPECT_NEAR(q.perpendicularLength, c.perp, 1e-5);
        EXPECT_NEAR(row->qi(), 4.56084 * c.perp, 1e-4);
        EXPECT_NEAR(roundDomainTransform(sphere, q.perpendicularLength), c.g, 1e-4) << c.d;
    }
}
