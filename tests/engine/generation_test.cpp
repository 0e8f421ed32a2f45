#include "engine/generation.h"
#include "engine/projected_points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <sstream>
#include <vector>

using namespace tesral;

namespace {

// Every vector of the box survives: no theta or qi limit, a group without conditions.
RunInputs keepEverything(QuasicrystalSystem system, const char* limit) {
    RunInputs in;
    in.system = system;
    in.groupPosition = system == QuasicrystalSystem::Octagonal ? 31 : 0;  // P8/mmm, P235
    // std::string values: assigning the literals trips a GCC 12 -Wrestrict false alarm.
    in.thetaMin = std::string("0");
    in.thetaMax = std::string("180");
    in.qiMax = std::string("1E9");
    in.loopLimits.fill(limit);
    return in;
}

std::array<int, 6> indices(const ReflectionRecord& r) {
    std::array<int, 6> h{};
    for (int i = 0; i < 6; ++i) h[i] = static_cast<int>(r.h(i));
    return h;
}

}  // namespace

TEST(Generation, BoxSizesAndOrder) {
    RunResult r = runGeneration(keepEverything(QuasicrystalSystem::Octagonal, "2"));
    ASSERT_EQ(r.status, RunStatus::Completed);
    EXPECT_EQ(boxCountText(r.totalLoops), "3125");
    EXPECT_EQ(loopsStatusText(r.totalLoops), "of 3124 loops");
    EXPECT_EQ(r.table.size(), 3124u);  // the origin is never stored
    EXPECT_EQ(indices(r.table.front()), (std::array<int, 6>{2, 2, 2, 2, 2, 0}));
    EXPECT_EQ(indices(r.table.back()), (std::array<int, 6>{-2, -2, -2, -2, -2, 0}));
    for (size_t i = 1; i < r.table.size(); ++i)
        ASSERT_GT(indices(r.table[i - 1]), indices(r.table[i])) << "row " << i;

    RunInputs ico = keepEverything(QuasicrystalSystem::Icosahedral, "1");
    r = runGeneration(ico);
    EXPECT_EQ(boxCountText(r.totalLoops), "729");
    EXPECT_EQ(r.table.size(), 728u);
    EXPECT_EQ(indices(r.table.front()), (std::array<int, 6>{1, 1, 1, 1, 1, 1}));

    // Axial systems leave h6 at 0 whatever its field holds.
    RunInputs axial = keepEverything(QuasicrystalSystem::Octagonal, "1");
    axial.loopLimits[5] = std::string("7");
    r = runGeneration(axial);
    EXPECT_EQ(r.table.size(), 242u);
    EXPECT_TRUE(std::all_of(r.table.begin(), r.table.end(),
                            [](const ReflectionRecord& row) { return row.h(5) == 0.0f; }));
}

TEST(Generation, EmptyAndHugeBoxes) {
    RunInputs in = keepEverything(QuasicrystalSystem::Octagonal, "2");
    in.loopLimits[2] = "-1";
    RunResult r = runGeneration(in);
    EXPECT_EQ(r.status, RunStatus::Completed);
    EXPECT_TRUE(r.table.empty());
    EXPECT_EQ(boxCountText(r.totalLoops), "0");
    EXPECT_EQ(loopsStatusText(r.totalLoops), "of 0 loops");

    // Counts never overflow: 41^6 and 65535^6 are exact.
    EXPECT_EQ(loopsStatusText(boxSize({20, 20, 20, 20, 20, 20}, 6)), "of 4750104240 loops");
    const int w = 32767;
    EXPECT_EQ(boxCountText(boxSize({w, w, w, w, w, w}, 6)), "79220909236042181489028890625");

    in.loopLimits.fill("0");
    r = runGeneration(in);
    EXPECT_EQ(boxCountText(r.totalLoops), "1");
    EXPECT_TRUE(r.table.empty());
}

TEST(Generation, MainSpotsOfTheUnitBox) {
    const RunResult r = runGeneration(keepEverything(QuasicrystalSystem::Octagonal, "1"));
    std::vector<std::array<int, 6>> main;
    for (const auto& row : r.table)
        if (row.isMainSpot) main.push_back(indices(row));
    ASSERT_EQ(main.size(), 12u);  // +-5 basis vectors and +-(1, 1, 1, 1, 0)
    EXPECT_EQ(main.front(), (std::array<int, 6>{1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(main.back(), (std::array<int, 6>{-1, -1, -1, -1, 0, 0}));

    const RunResult ico = runGeneration(keepEverything(QuasicrystalSystem::Icosahedral, "1"));
    EXPECT_EQ(std::count_if(ico.table.begin(), ico.table.end(),
                            [](const ReflectionRecord& row) { return row.isMainSpot; }),
              12);
}

TEST(Generation, DefaultRunExtinctionsStatisticsAndPoints) {
    TableStatistics previous;
    previous.maxX = 100.0f;
    previous.minZ = -50.0f;
    previous.maxTheta = 99.0f;  // reset by every run
    const RunResult r = runGeneration(RunInputs{}, previous);
    ASSERT_EQ(r.status, RunStatus::Completed);
    EXPECT_EQ(r.groupStatusText, "extinction rules: Ob ");
    EXPECT_EQ(r.header.groupText, "P10.5/mmc");
    float maxTheta = 0, maxQi = 0;
    for (const auto& row : r.table) {
        EXPECT_FALSE(row.directionClass == DirectionClass::BetweenMain &&
                     static_cast<int>(row.h(4)) % 2 != 0);
        EXPECT_GE(row.theta(), 1.0f);
        EXPECT_LE(row.theta(), 30.0f);
        EXPECT_LE(row.qi(), 1.0f);
        maxTheta = std::max(maxTheta, row.theta());
        maxQi = std::max(maxQi, row.qi());
    }
    EXPECT_EQ(r.statistics.maxTheta, maxTheta);
    EXPECT_EQ(r.statistics.maxQi, maxQi);
    EXPECT_EQ(r.statistics.maxX, 100.0f);
    EXPECT_EQ(r.statistics.minZ, -50.0f);
    const ProjectedPoints points = projectedPointsOf(r.table);
    ASSERT_EQ(points.size(), r.table.size());
    EXPECT_EQ(points[5].row, 5u);
    EXPECT_EQ(points[5][0], r.table[5].x());
    EXPECT_EQ(points[5][2], r.table[5].z());
    const std::atomic<bool> stop{true};  // Escape while they are made
    EXPECT_TRUE(projectedPointsOf(r.table, &stop).empty());
}

namespace {

/**
 * The reflection conditions read again from the catalogue's listed words and symbol.
 * `axisInBoth`: a reflection on the periodic axis counts as "along" and "between" at once.
 */
bool forbiddenByListedRules(const SpaceGroupEntry& g, const std::array<int, 6>& h,
                            DirectionClass cls, int n, bool axisInBoth) {
    const auto odd = [](int k) { return k % 2 != 0; };
    int s = 0;
    for (int i = 0; i < n; ++i) s += h[i];
    const std::string symbol(g.symbol);
    if (symbol[0] == 'F')
        for (int i = 1; i < 6; ++i)
            if (odd(h[i]) != odd(h[0])) return true;
    if (symbol[0] == 'I') return odd(s);
    if (n == 6) {
        const bool equal = h[1] == h[2] && h[2] == h[3] && h[3] == h[4] && h[4] == h[5];
        const bool pairs = h[2] == -h[0] && h[3] == -h[1];
        switch (g.number) {
            case 76:
                return equal && h[0] % 5 == 0;
            case 78:
            case 80:
                return equal && (h[0] + 5 * h[1]) % 10 == 0;
            case 82:
                return pairs && (h[4] - h[5]) % 2 == 0;
            case 85:
                return pairs && (h[4] - h[5]) % 4 == 0;
            default:
                return false;
        }
    }
    const bool axis = axisInBoth && h[0] == 0 && h[1] == 0 && h[2] == 0 && h[3] == 0;
    const bool a = axis || cls == DirectionClass::AlongMain;
    const bool b = axis || cls == DirectionClass::BetweenMain;
    const int l = h[4];
    std::istringstream words{std::string(g.conditionText)};
    for (std::string w; words >> w;)
        if ((w == "Oa" && a && odd(l)) || (w == "Ob" && b && odd(l)) ||
            (w == "Oea" && !odd(s) && a && odd(l)) || (w == "Oab" && (a || b) && odd(l)) ||
            (w == "Eoa" && !odd(l) && a && odd(s)) || (w == "Zo" && l == 0 && odd(s)) ||
            (w == "Zoa" && l == 0 && a && odd(s)) || (w == "Aoa" && a && odd(s)))
            return true;
    return false;
}

}  // namespace

TEST(Generation, EveryGroupKeepsWhatItsWordsAllowAndTheAxisTakesBothClasses) {
    // Every group of the catalogue against its listed words; the words of both direction
    // classes reach the periodic axis (0 0 0 0 l), and only those rows differ from applying
    // the one class the axis is classified as.
    std::set<int> changed;
    for (const auto system : {QuasicrystalSystem::Octagonal, QuasicrystalSystem::Decagonal,
                              QuasicrystalSystem::Dodecagonal, QuasicrystalSystem::Icosahedral}) {
        RunInputs in = keepEverything(system, "2");
        const bool axial = system != QuasicrystalSystem::Icosahedral;
        if (axial) in.loopLimits[4] = std::string("3");
        const RunResult all = runGeneration(in);
        ASSERT_EQ(all.status, RunStatus::Completed);
        const int n = all.indexDimension;
        const auto groups = groupsOfSystem(system);
        for (std::size_t position = 0; position < groups.size(); ++position) {
            const SpaceGroupEntry& g = groups[position];
            std::vector<std::array<int, 6>> expected;
            for (const ReflectionRecord& row : all.table) {
                const std::array<int, 6> h = indices(row);
                const bool now = forbiddenByListedRules(g, h, row.directionClass, n, true);
                if (!now) expected.push_back(h);
                if (now != forbiddenByListedRules(g, h, row.directionClass, n, false)) {
                    EXPECT_TRUE(axial && h[0] == 0 && h[1] == 0 && h[2] == 0 && h[3] == 0)
                        << g.symbol;
                    changed.insert(g.number);
                }
            }
            in.groupPosition = static_cast<int>(position);
            const RunResult r = runGeneration(in);
            std::vector<std::array<int, 6>> kept;
            for (const ReflectionRecord& row : r.table) kept.push_back(indices(row));
            EXPECT_EQ(kept, expected) << g.symbol;
        }
    }
    // Words that forbid odd l "between" only, in primitive groups without "Aoa".
    EXPECT_EQ(changed, (std::set<int>{9, 10, 19, 20, 35, 39, 40, 44, 53, 57, 63}));
}

TEST(Generation, FailuresAndCancel) {
    RunInputs in;
    in.a = "abc";
    RunResult r = runGeneration(in);
    EXPECT_EQ(r.status, RunStatus::Failed);
    EXPECT_EQ(r.message, kLatticeConstantsMessage);

    in = RunInputs{};
    in.c = "1E999";
    EXPECT_EQ(runGeneration(in).message, "The lattice constant c is too large.");

    in = RunInputs{};
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = 0;
    in.c = "0";  // hidden for icosahedral: never checked
    EXPECT_EQ(runGeneration(in).status, RunStatus::Completed);

    in = RunInputs{};
    in.a = "1e-300";
    in.qiMax = "1E300";
    r = runGeneration(in);
    EXPECT_EQ(r.status, RunStatus::Failed);
    EXPECT_EQ(r.message, kInvalidNumberMessage);

    in = RunInputs{};
    in.loopLimits[0] = "40000";
    EXPECT_EQ(runGeneration(in).message, kLoopLimitMessage);

    in = keepEverything(QuasicrystalSystem::Octagonal, "3");
    int calls = 0;
    r = runGeneration(in, {}, [&calls](double) { return ++calls < 3; });
    EXPECT_EQ(r.status, RunStatus::Cancelled);
    EXPECT_TRUE(r.table.empty());
    // The callback is asked before any work, so even a tiny run can be cancelled.
    r = runGeneration(RunInputs{}, {}, [](double) { return false; });
    EXPECT_EQ(r.status, RunStatus::Cancelled);
    EXPECT_TRUE(r.table.empty());
}

TEST(PreparedRun, RowBoundHoldsTheRowsAndStaysNearTheRegion) {
    struct Case {
        RunInputs inputs;
        double mostOverRows;  // how loose the bound may be
    };
    RunInputs narrow;  // the default run: a thin shell of the box
    RunInputs ico = keepEverything(QuasicrystalSystem::Icosahedral, "2");
    ico.thetaMax = "40";
    ico.qiMax = "1.5";
    ico.a = "5.1";
    RunInputs steurer = keepEverything(QuasicrystalSystem::Dodecagonal, "3");
    steurer.convention = MatrixConvention::Steurer;
    steurer.qiMax = "0.5";
    RunInputs empty;
    empty.thetaMin = "40";
    empty.thetaMax = "20";
    const Case cases[] = {{narrow, 50.0},
                          {keepEverything(QuasicrystalSystem::Octagonal, "4"), 1.01},
                          {ico, 50.0},
                          {steurer, 50.0},
                          {empty, 0.0}};
    for (const Case& c : cases) {
        const PreparedRun run = prepareRun(c.inputs);
        ASSERT_TRUE(run.ready()) << run.message;
        const RunResult r = runPrepared(run);
        ASSERT_EQ(r.status, RunStatus::Completed);
        EXPECT_GE(run.rowBound, r.table.size());
        EXPECT_LE(run.rowBound, run.totalLoops);
        EXPECT_LE(static_cast<double>(run.rowBound), c.mostOverRows * (r.table.size() + 1.0));
    }
}

TEST(PreparedRun, HugeBoxIsBoundedBeforeAnyLoop) {
    RunInputs in = keepEverything(QuasicrystalSystem::Octagonal, "32767");
    const PreparedRun run = prepareRun(in);
    ASSERT_TRUE(run.ready());
    EXPECT_EQ(boxCountText(run.totalLoops), "1208833588708967444709375");
    EXPECT_GT(run.rowBound, BoxCount{1} << 70);
    // The group resolved before the run: its rules are known ahead of the loops.
    EXPECT_EQ(run.groupStatusText.rfind("extinction rules: ", 0), 0u);

    in.a = "0";
    EXPECT_EQ(prepareRun(in).message, kLatticeConstantsMessage);
}
