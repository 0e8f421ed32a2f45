#include "engine/zone_section.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

using namespace tesral;

namespace {

constexpr QuasicrystalSystem kSystems[] = {
    QuasicrystalSystem::Octagonal, QuasicrystalSystem::Decagonal, QuasicrystalSystem::Dodecagonal,
    QuasicrystalSystem::Icosahedral};

RunInputs inputs(QuasicrystalSystem system, const char* limit, const char* thetaMax,
                 const char* qiMax, MatrixConvention convention = MatrixConvention::Yamamoto) {
    RunInputs in;
    in.system = system;
    in.groupPosition = system == QuasicrystalSystem::Octagonal ? 31 : 0;  // no conditions
    in.convention = convention;
    in.thetaMin = std::string("0");
    in.thetaMax = std::string(thetaMax);
    in.qiMax = std::string(qiMax);
    in.loopLimits.fill(limit);
    return in;
}

std::array<int, 6> indices(const ReflectionRecord& r) {
    std::array<int, 6> h{};
    for (int i = 0; i < 6; ++i) h[i] = static_cast<int>(r.h(i));
    return h;
}

/** H|| . u|| summed in long double from the floating basis. */
long double floatingProduct(const LatticeBasis& b, const std::array<int, 6>& h,
                            const AxisIndices& axis) {
    const int parallel[3] = {0, 1, b.n == 5 ? 4 : 2};
    long double sum = 0.0L;
    for (int c : parallel) {
        long double hq = 0.0L, un = 0.0L;
        for (int j = 0; j < b.n; ++j) {
            hq += static_cast<long double>(b.inverse(c, j)) * h[j];
            un += static_cast<long double>(b.direct(j, c)) * static_cast<long double>(axis[j]);
        }
        sum += hq * un;
    }
    return sum;
}

ZoneSection section(const RunInputs& in, const AxisIndices& axis, double slab = 0.0) {
    const PreparedRun run = prepareRun(in);
    EXPECT_TRUE(run.ready()) << run.message;
    return computeZoneSection(run, {axis, slab, std::nullopt});
}

/** The spots of a section, looked up with a tolerance. */
class SpotSet {
  public:
    explicit SpotSet(const ZoneSection& s) : spots_(s.spots) {
        double reach = 0.0;
        for (const ZoneSpot& p : spots_) reach = std::max(reach, std::hypot(p.u, p.v));
        grid_ = reach * 1e-5;
        for (const ZoneSpot& p : spots_) keys_.insert(key(p.u, p.v));
    }
    /** True when the linear map (a b; c d) takes every spot onto a spot. */
    bool invariant(double a, double b, double c, double d) const {
        for (const ZoneSpot& p : spots_)
            if (!has(a * p.u + b * p.v, c * p.u + d * p.v)) return false;
        return true;
    }
    /** The largest k <= 24 for which a turn of 360/k degrees keeps the spots. */
    int rotationOrder() const {
        for (int k = 24; k >= 1; --k) {
            const double t = 2.0 * M_PI / k;
            if (invariant(std::cos(t), -std::sin(t), std::sin(t), std::cos(t))) return k;
        }
        return 0;
    }
    /** True when a mirror line along or across the direction of a spot keeps them. */
    bool hasMirror() const {
        for (const ZoneSpot& line : spots_)
            for (double turn : {0.0, M_PI}) {
                const double t = 2.0 * std::atan2(line.v, line.u) + turn;
                if (invariant(std::cos(t), std::sin(t), std::sin(t), -std::cos(t))) return true;
            }
        return false;
    }

  private:
    std::pair<long long, long long> key(double u, double v) const {
        return {std::llround(u / grid_), std::llround(v / grid_)};
    }
    bool has(double u, double v) const {
        const auto [ku, kv] = key(u, v);
        for (long long du = -1; du <= 1; ++du)
            for (long long dv = -1; dv <= 1; ++dv)
                if (keys_.count({ku + du, kv + dv})) return true;
        return false;
    }
    const std::vector<ZoneSpot>& spots_;
    double grid_ = 1.0;
    std::set<std::pair<long long, long long>> keys_;
};

}  // namespace

TEST(ZoneAxis, ExactInnerProductsMatchTheBases) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> index(-9, 9);
    for (QuasicrystalSystem system : kSystems)
        for (MatrixConvention convention :
             {MatrixConvention::Yamamoto, MatrixConvention::Steurer}) {
            const auto basis = buildLatticeBasis(system, 4.1, 7.3, convention);
            ASSERT_TRUE(basis);
            const int n = basis->n;
            const ExactInnerProducts& p = exactInnerProducts(system);
            for (int trial = 0; trial < 200; ++trial) {
                std::array<int, 6> h{};
                AxisIndices axis{};
                for (int i = 0; i < n; ++i) h[i] = index(random), axis[i] = index(random);
                const ZoneForms f = zoneForms(system, axis);
                long double rational = 0.0L, irrational = 0.0L;
                for (int i = 0; i < n; ++i) {
                    rational += static_cast<long double>(f.rational[i]) * h[i];
                    irrational += static_cast<long double>(f.irrational[i]) * h[i];
                }
                const long double exact =
                    (rational + irrational * std::sqrt(static_cast<long double>(p.root))) /
                    p.denominator;
                EXPECT_NEAR(static_cast<double>(exact),
                            static_cast<double>(floatingProduct(*basis, h, axis)), 1e-6)
                    << "system " << systemCode(system) << " trial " << trial;
            }
        }
}

// The section against a filter of the full run by the floating product: on random axes of
// every system, with and without a slab.
TEST(ZoneSection, MembersAreThoseOfTheFullRun) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> index(-3, 3);
    for (QuasicrystalSystem system : kSystems) {
        const RunInputs in =
            inputs(system, system == QuasicrystalSystem::Icosahedral ? "3" : "4", "60", "0.9");
        const RunResult full = runGeneration(in);
        ASSERT_EQ(full.status, RunStatus::Completed);
        const int n = indexDimensionOf(system);
        for (int trial = 0; trial < 6; ++trial) {
            AxisIndices axis{};
            for (int i = 0; i < n; ++i) axis[i] = index(random);
            if (trial == 0) axis = zonePresets(system).front().axis;
            if (axis == AxisIndices{}) axis[0] = 1;
            const auto u = axisParallelPart(full.basis, axis);
            const long double length = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
            for (double slab : {0.0, 0.01}) {
                std::vector<std::array<int, 6>> expected, nearExpected;
                for (const ReflectionRecord& row : full.table) {
                    const long double offset =
                        std::fabs(floatingProduct(full.basis, indices(row), axis)) / length;
                    if (offset < 1e-7)
                        expected.push_back(indices(row));
                    else if (offset <= slab)
                        nearExpected.push_back(indices(row));
                }
                const ZoneSection s = section(in, axis, slab);
                ASSERT_EQ(s.run.status, RunStatus::Completed) << s.run.message;
                std::vector<std::array<int, 6>> got, nearGot;
                for (std::size_t r = 0; r < s.run.table.size(); ++r) {
                    (s.spots[r].nearZone ? nearGot : got).push_back(indices(s.run.table[r]));
                }
                EXPECT_EQ(got, expected) << "system " << systemCode(system) << " trial " << trial;
                EXPECT_EQ(nearGot, nearExpected) << "system " << systemCode(system);
                EXPECT_FALSE(expected.empty() && trial == 0);
            }
        }
    }
}

// Long axes: the section's lattice is sparse and its complement nearly flat. Members against
// the exact integer test over the full run, near-zone rows against the floating offset.
TEST(ZoneSection, LongAxesKeepTheRunsReflections) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> index(-30000, 30000);
    for (QuasicrystalSystem system : kSystems) {
        const bool icosahedral = system == QuasicrystalSystem::Icosahedral;
        const RunInputs in = inputs(system, icosahedral ? "4" : "6", "90", icosahedral ? "2" : "3");
        const RunResult full = runGeneration(in);
        const int n = indexDimensionOf(system);
        for (int trial = 0; trial < 4; ++trial) {
            AxisIndices axis{};
            for (int i = 0; i < n; ++i) axis[i] = index(random);
            if (trial % 2 == 1) axis[n - 1] = 0;  // in the plane, for the axial systems
            const ZoneForms forms = zoneForms(system, axis);
            const auto u = axisParallelPart(full.basis, axis);
            const long double length = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
            std::vector<std::array<int, 6>> expected;
            for (const ReflectionRecord& row : full.table) {
                const std::array<int, 6> h = indices(row);
                if (inZone(forms, h.data(), n) ||
                    std::fabs(floatingProduct(full.basis, h, axis)) / length <= 0.02)
                    expected.push_back(h);
            }
            const ZoneSection s = section(in, axis, 0.02);
            ASSERT_EQ(s.run.status, RunStatus::Completed) << s.run.message;
            std::vector<std::array<int, 6>> got;
            for (std::size_t r = 0; r < s.run.table.size(); ++r) {
                got.push_back(indices(s.run.table[r]));
                EXPECT_EQ(s.spots[r].nearZone, !inZone(forms, got.back().data(), n));
            }
            EXPECT_EQ(got, expected) << "system " << systemCode(system) << " trial " << trial;
        }
    }
}

TEST(ZoneSection, PeriodicAxisIsTheZeroLayer) {
    for (QuasicrystalSystem system : {QuasicrystalSystem::Octagonal, QuasicrystalSystem::Decagonal,
                                      QuasicrystalSystem::Dodecagonal}) {
        const RunInputs in = inputs(system, "3", "40", "2");
        const RunResult full = runGeneration(in);
        AxisIndices axis{};
        ASSERT_EQ(parseZoneAxis("periodic", system, axis), "");
        const ZoneSection s = section(in, axis);
        std::vector<std::array<int, 6>> zeroLayer, got;
        for (const ReflectionRecord& row : full.table)
            if (row.h(4) == 0.0f) zeroLayer.push_back(indices(row));
        for (const ReflectionRecord& row : s.run.table) got.push_back(indices(row));
        EXPECT_EQ(got, zeroLayer);
        EXPECT_EQ(s.rank, 4);
    }
}

// Windows well inside the loop limits, so that the box does not cut the pattern.
TEST(ZoneSection, PresetPatternsHaveTheirSymmetry) {
    struct Case {
        QuasicrystalSystem system;
        const char* axis;
        int order;
    };
    const Case cases[] = {
        {QuasicrystalSystem::Icosahedral, "fivefold", 10},
        {QuasicrystalSystem::Icosahedral, "threefold", 6},
        {QuasicrystalSystem::Icosahedral, "twofold", 2},
        {QuasicrystalSystem::Decagonal, "periodic", 10},
        {QuasicrystalSystem::Decagonal, "twofold-a", 2},
        {QuasicrystalSystem::Decagonal, "twofold-b", 2},
        {QuasicrystalSystem::Octagonal, "periodic", 8},
        {QuasicrystalSystem::Octagonal, "twofold-b", 2},
        {QuasicrystalSystem::Dodecagonal, "periodic", 12},
        {QuasicrystalSystem::Dodecagonal, "twofold-a", 2},
    };
    for (const Case& c : cases)
        for (MatrixConvention convention :
             {MatrixConvention::Yamamoto, MatrixConvention::Steurer}) {
            const bool icosahedral = c.system == QuasicrystalSystem::Icosahedral;
            SCOPED_TRACE(std::string(c.axis) + " system " + std::to_string(systemCode(c.system)) +
                         (convention == MatrixConvention::Steurer ? " Steurer" : " Yamamoto"));
            const bool steurer = convention == MatrixConvention::Steurer;
            const char* qiMax =
                icosahedral ? (steurer ? "4.1" : "1.37") : (steurer ? "0.61" : "0.37");
            RunInputs in = inputs(c.system, "10", "35", qiMax, convention);
            in.wavelength = std::string("1.5406");
            AxisIndices axis{};
            ASSERT_EQ(parseZoneAxis(c.axis, c.system, axis), "");
            const ZoneSection s = section(in, axis);
            ASSERT_GE(s.spots.size(), 16u) << c.axis;
            const SpotSet spots(s);
            EXPECT_EQ(spots.rotationOrder(), c.order)
                << c.axis << " system " << systemCode(c.system);
            EXPECT_TRUE(spots.hasMirror()) << c.axis;
        }
}

TEST(ZoneAxis, BadAxesAreRefusedWithAReason) {
    struct Case {
        QuasicrystalSystem system;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {QuasicrystalSystem::Decagonal, "0,0,0,0,0",
         "the zone axis cannot be zero: give at least one index that is not 0"},
        {QuasicrystalSystem::Decagonal, "1,0,0",
         "the zone axis needs 5 indices for the decagonal system, not 3"},
        {QuasicrystalSystem::Icosahedral, "1,0,0,0,0",
         "the zone axis needs 6 indices for the icosahedral system, not 5"},
        {QuasicrystalSystem::Icosahedral, "1,0.5,0,0,0,0",
         "the zone axis index '0.5' is not a whole number"},
        {QuasicrystalSystem::Octagonal, "1,,0,0,0", "the zone axis index '' is not a whole number"},
        {QuasicrystalSystem::Decagonal, "fivefold",
         "the zone axis 'fivefold' is not an axis of the decagonal system; use periodic, "
         "twofold-a, twofold-b or 5 indices"},
        {QuasicrystalSystem::Icosahedral, "1,0,0,0,0,9999999",
         "the zone axis index '9999999' is too large (at most 1000000)"},
    };
    for (const Case& c : cases) {
        AxisIndices axis{};
        EXPECT_EQ(parseZoneAxis(c.text, c.system, axis), c.message);
    }
    // Blanks, commas or both between the indices.
    for (const char* text : {" 1, -2 ,+3,0,0 ", "1 -2 +3 0 0", "1  -2\t3, 0 ,0"}) {
        AxisIndices axis{};
        EXPECT_EQ(parseZoneAxis(text, QuasicrystalSystem::Decagonal, axis), "") << text;
        EXPECT_EQ(axis, (AxisIndices{1, -2, 3, 0, 0, 0})) << text;
    }
    AxisIndices axis{};
    EXPECT_EQ(parseZoneAxis("1 0 0 0 0,", QuasicrystalSystem::Decagonal, axis),
              "the zone axis index '' is not a whole number");
}

TEST(ZoneAxis, ReflectionIndicesSpeakOfAReflection) {
    const struct {
        QuasicrystalSystem system;
        const char* text;
        const char* message;
    } cases[] = {
        {QuasicrystalSystem::Decagonal, "1 0 0 0 -1", ""},
        {QuasicrystalSystem::Icosahedral, "1, 1,0 0,0 -1", ""},
        {QuasicrystalSystem::Decagonal, "  ",
         "no reflection given: type its 5 indices separated by blanks or commas"},
        {QuasicrystalSystem::Decagonal, "periodic",
         "the reflection index 'periodic' is not a whole number"},
        {QuasicrystalSystem::Decagonal, "1 0 0 0",
         "the reflection needs 5 indices for the decagonal system, not 4"},
        {QuasicrystalSystem::Octagonal, "0 0 0 0 0",
         "the reflection cannot be the origin: give a non-zero index"},
        {QuasicrystalSystem::Octagonal, "40000 0 0 0 0",
         "the reflection index '40000' is too large (at most 32767)"},
    };
    for (const auto& c : cases) {
        std::array<int, 6> h{9, 9, 9, 9, 9, 9};
        EXPECT_EQ(parseReflectionIndices(c.text, c.system, h), c.message) << c.text;
        if (*c.message != '\0') continue;
        EXPECT_EQ(h[0], 1) << c.text;
        EXPECT_EQ(h[5], c.system == QuasicrystalSystem::Icosahedral ? -1 : 0) << c.text;
    }
}

TEST(ZoneSection, PlaneXFollowsTheReference) {
    const RunInputs in = inputs(QuasicrystalSystem::Icosahedral, "4", "40", "1.5");
    AxisIndices twofold{};
    ASSERT_EQ(parseZoneAxis("twofold", QuasicrystalSystem::Icosahedral, twofold), "");
    const PreparedRun run = prepareRun(in);
    // Default: the shortest member lies on the x axis.
    const ZoneSection plain = computeZoneSection(run, {twofold, 0.0, std::nullopt});
    ASSERT_FALSE(plain.spots.empty());
    float shortest = 1e9f;
    for (const ReflectionRecord& row : plain.run.table) shortest = std::min(shortest, row.qe());
    bool onX = false;
    for (std::size_t i = 0; i < plain.spots.size(); ++i)
        onX = onX || (plain.run.table[i].qe() <= shortest * (1 + 1e-6f) &&
                      std::fabs(plain.spots[i].v) < 1e-9 && plain.spots[i].u > 0.0);
    EXPECT_TRUE(onX);
    // The difference of the two fivefold axes lies in the plane, along another twofold axis.
    const ZoneSection turned =
        computeZoneSection(run, {twofold, 0.0, AxisIndices{1, -1, 0, 0, 0, 0}});
    for (std::size_t i = 0; i < turned.spots.size(); ++i)
        if (indices(turned.run.table[i]) == std::array<int, 6>{1, -1, 0, 0, 0, 0}) {
            EXPECT_GT(turned.spots[i].u, 0.0);
            EXPECT_NEAR(turned.spots[i].v, 0.0, 1e-9);
        }
    const ZoneSection along =
        computeZoneSection(run, {twofold, 0.0, AxisIndices{1, 1, 0, 0, 0, 0}});
    EXPECT_EQ(along.run.status, RunStatus::Failed);
    EXPECT_EQ(along.run.message, kReferenceAlongAxisMessage);
}

// Escape in the zone view: a stop flag ends the walk, and the section says it was cancelled.
TEST(ZoneSection, AStopEndsTheWalkAsCancelled) {
    const PreparedRun run = prepareRun(inputs(QuasicrystalSystem::Icosahedral, "6", "40", "2"));
    std::atomic<bool> stop{true};
    ZoneRequest request{{1, 0, 0, 0, 0, 0}, 0.0, std::nullopt};
    request.stop = &stop;
    const ZoneSection stopped = computeZoneSection(run, request);
    EXPECT_EQ(stopped.run.status, RunStatus::Cancelled);
    EXPECT_EQ(stopped.run.message, kSectionCancelledMessage);
    EXPECT_EQ(stopped.run.table.size(), 0u);
    stop = false;
    EXPECT_EQ(computeZoneSection(run, request).run.status, RunStatus::Completed);
}
