// Turning the 3D points and ordering them by depth.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "plots/rotation.h"

using namespace tesral;

namespace {

ProjectedPoints randomPoints(std::size_t n, unsigned seed = 7) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> u(-3.0f, 3.0f);
    ProjectedPoints points(n);
    for (std::size_t r = 0; r < n; ++r)
        points[r] = {{u(rng), u(rng), u(rng)}, static_cast<std::uint32_t>(r)};
    return points;
}

/** Largest coordinate difference between two point sets. */
float largestDifference(const ProjectedPoints& a, const ProjectedPoints& b) {
    float worst = 0.0f;
    for (std::size_t r = 0; r < a.size(); ++r)
        for (int c = 0; c < 3; ++c) worst = std::max(worst, std::fabs(a[r][c] - b[r][c]));
    return worst;
}

std::vector<int> rowOrder(const ProjectedPoints& points) {
    std::vector<int> ids;
    for (const ProjectedPoint& p : points) ids.push_back(static_cast<int>(p.row));
    return ids;
}

ProjectedPoints withDepths(const std::vector<float>& depths) {
    ProjectedPoints points;
    for (std::size_t r = 0; r < depths.size(); ++r)
        points.push_back({{depths[r], 0.0f, 0.0f}, static_cast<std::uint32_t>(r)});
    return points;
}

}  // namespace

TEST(Rotate, QuarterTurnsMoveTheAxesAsDescribed) {
    struct Case {
        int axis;
        std::array<float, 3> from, to;
    };
    // +90 degrees: axis 3 turns depth into -horizontal, axis 2 depth into +vertical, axis 1
    // horizontal into +vertical.
    const Case cases[] = {
        {3, {1, 0, 0}, {0, -1, 0}}, {3, {0, 1, 0}, {1, 0, 0}},  {3, {0, 0, 1}, {0, 0, 1}},
        {2, {1, 0, 0}, {0, 0, 1}},  {2, {0, 0, 1}, {-1, 0, 0}}, {2, {0, 1, 0}, {0, 1, 0}},
        {1, {0, 1, 0}, {0, 0, 1}},  {1, {0, 0, 1}, {0, -1, 0}}, {1, {1, 0, 0}, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        ProjectedPoints p{{{c.from[0], c.from[1], c.from[2]}, 4}};
        Rotate(p, c.axis, 90.0f);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(p[0][i], c.to[i], 1e-6f) << "axis " << c.axis;
        EXPECT_EQ(p[0].row, 4u);  // the row number is not turned
    }
}

TEST(Rotate, OtherAxisNumbersTurnNothing) {
    const ProjectedPoints start = randomPoints(10);
    for (int axis : {0, 4, -1}) {
        ProjectedPoints p = start;
        Rotate(p, axis, 30.0f);
        EXPECT_EQ(p, start);
    }
}

TEST(Rotate, RightThenLeftReturnsWithinRounding) {
    const ProjectedPoints start = randomPoints(500);
    for (int axis : {1, 2, 3}) {
        ProjectedPoints p = start;
        Rotate(p, axis, 5.0f);
        Rotate(p, axis, -5.0f);
        EXPECT_LT(largestDifference(p, start), 3.0f * 4.0f * 1.2e-7f) << "axis " << axis;
    }
}

TEST(Rotate, SeventyTwoStepsOfFiveDegreesMakeAFullTurn) {
    const ProjectedPoints start = randomPoints(500);
    ProjectedPoints p = start;
    for (int i = 0; i < 72; ++i) Rotate(p, 3, 5.0f);
    EXPECT_LT(largestDifference(p, start), 1e-4f);
    // Halfway the view looks from the other side.
    p = start;
    for (int i = 0; i < 36; ++i) Rotate(p, 3, 5.0f);
    for (std::size_t r = 0; r < p.size(); ++r) {
        EXPECT_NEAR(p[r][0], -start[r][0], 1e-4f);
        EXPECT_NEAR(p[r][1], -start[r][1], 1e-4f);
    }
}

TEST(SortByDepth, TiesEndInTheQuicksortOrder) {
    struct Case {
        std::vector<float> depths;
        std::vector<int> order;  // table rows after the sort
    };
    // Worked by hand through the partition steps (pivot at the middle row, halves to even).
    const Case cases[] = {
        {{1, 2, 2, 1}, {2, 1, 3, 0}},
        {{5, 5, 5}, {2, 1, 0}},
        {{1, 2}, {1, 0}},
        {{2, 1}, {0, 1}},
        {{3}, {0}},
        {{}, {}},
        {{0, 3, 1, 2}, {1, 3, 2, 0}},
    };
    for (const Case& c : cases) {
        ProjectedPoints p = withDepths(c.depths);
        sortByDepth(p);
        EXPECT_EQ(rowOrder(p), c.order);
    }
}

TEST(SortByDepth, OrdersAnySetFarthestFirstAndKeepsRowsWhole) {
    for (std::size_t n : {2u, 3u, 17u, 1000u, 100000u}) {
        ProjectedPoints p = randomPoints(n, static_cast<unsigned>(n));
        // Many equal depths, as in a layer seen edge-on.
        for (std::size_t r = 0; r < n; r += 3) p[r][0] = 0.5f;
        const ProjectedPoints before = p;
        sortByDepth(p);
        EXPECT_TRUE(std::is_sorted(p.begin(), p.end(),
                                   [](const auto& a, const auto& b) { return a[0] > b[0]; }));
        for (const ProjectedPoint& row : p) EXPECT_EQ(row, before[row.row]);
    }
}

TEST(SortByDepth, LeavesRowsOutsideTheRangeAlone) {
    ProjectedPoints p = withDepths({1, 2, 3, 4, 5});
    sortByDepth(p, 1, 3);
    EXPECT_EQ(rowOrder(p), (std::vector<int>{0, 3, 2, 1, 4}));
}
