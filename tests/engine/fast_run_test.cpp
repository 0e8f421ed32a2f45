// The fast run against the literal walk: same rows, same order, same bits.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "engine/groups.h"
#include "literal_run.h"
#include "run_comparison.h"

using namespace tesral;

namespace {

/** Compares everything a run publishes; returns the fast run's row count. */
std::size_t expectSameRun(const RunInputs& in, const TableStatistics& previous = {}) {
    const RunResult fast = runGeneration(in, previous);
    EXPECT_EQ(firstDifference(fast, runLiteral(in, previous)), "") << describeInputs(in);
    return fast.table.size();
}

std::string exact(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

}  // namespace

TEST(FastRun, MatchesLiteralOnRandomInputs) {
    std::mt19937 rng(20240611);
    TableStatistics previous;
    previous.minX = -0.5f;
    previous.maxZ = 3.0f;
    int withRows = 0;
    for (int i = 0; i < 400; ++i) {
        const RunInputs in = randomRunInputs(rng, 5, 4);
        withRows += expectSameRun(in, i % 7 == 0 ? previous : TableStatistics{}) > 0;
        if (HasFailure()) return;
    }
    EXPECT_GT(withRows, 100);  // the draw must not be mostly empty windows
}

TEST(FastRun, MatchesLiteralAtDefaultsAndOnWindowEdges) {
    for (const QuasicrystalSystem system :
         {QuasicrystalSystem::Octagonal, QuasicrystalSystem::Decagonal,
          QuasicrystalSystem::Dodecagonal, QuasicrystalSystem::Icosahedral}) {
        RunInputs in;
        in.system = system;
        in.groupPosition = defaultGroupPosition(system);
        in.loopLimits.fill(system == QuasicrystalSystem::Icosahedral ? "3" : "5");
        expectSameRun(in);

        // Limits set exactly to the qi and theta of one kept vector: it sits on both edges.
        const RunResult run = runGeneration(in);
        ASSERT_GT(run.table.size(), 100u);
        const ReflectionRecord& middle = run.table[run.table.size() / 2];
        int h[6];
        for (int i = 0; i < 6; ++i) h[i] = static_cast<int>(middle.h(i));
        const Evaluation e = evaluateIndexVector(h, GeometryContext(run.basis, run.parameters));
        ASSERT_TRUE(e.accepted);
        in.qiMax = exact(e.qi);
        expectSameRun(in);
        in.thetaMin = exact(e.theta);
        expectSameRun(in);
        in.thetaMax = exact(e.theta);
        const RunResult edge = runGeneration(in);
        ASSERT_FALSE(edge.table.empty());
        expectSameRun(in);
    }
}

TEST(FastRun, MatchesLiteralOnLargeTables) {
    // Statistics merged from many tasks and points copied in blocks on several cores;
    // coordinates of -0 and +0 test the order of ties.
    RunInputs in;
    in.system = QuasicrystalSystem::Octagonal;
    in.groupPosition = 31;
    in.loopLimits.fill("7");
    in.thetaMin = "0.0";
    in.thetaMax = "180";
    in.qiMax = "1E9";
    TableStatistics previous;
    previous.minY = 0.0f;
    previous.maxZ = -0.0f;
    expectSameRun(in, previous);
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = 0;
    in.loopLimits.fill("4");
    in.qiMax = "2.0";
    EXPECT_GT(expectSameRun(in), 70000u);
}

TEST(FastRun, MatchesLiteralOnDegenerateLattices) {
    // Tiny or huge lattice constants push the projections toward overflow or underflow;
    // the run must fail (or not) exactly where the full walk does.
    for (const char* a : {"1e-300", "1e-152", "3e-154", "1e-150", "1e200", "1e-160"})
        for (const QuasicrystalSystem system :
             {QuasicrystalSystem::Decagonal, QuasicrystalSystem::Icosahedral})
            for (const char* limit : {"2", "3"})  // a = 3e-154 overflows from limits 3 on
                for (const char* thetaMax : {"30", "180"})
                    for (const char* qi : {"1.0", "1E300"}) {
                        RunInputs in;
                        in.system = system;
                        in.groupPosition = 0;
                        in.a = a;
                        in.loopLimits.fill(limit);
                        in.thetaMax = thetaMax;
                        in.qiMax = qi;
                        expectSameRun(in);
                    }
}

TEST(FastRun, ProgressIsOrderedAndCancelPublishesNothing) {
    RunInputs in;
    in.system = QuasicrystalSystem::Octagonal;
    in.groupPosition = 31;  // P8/mmm: no conditions
    in.loopLimits.fill("9");
    in.thetaMin = "0.0";
    in.thetaMax = "180";
    in.qiMax = "1E9";

    std::atomic<int> inside{0};
    bool overlapped = false;
    double last = 0.0;
    bool ordered = true;
    int calls = 0, full = 0;
    const RunResult done = runGeneration(in, {}, [&](double fraction) {
        overlapped = overlapped || inside.fetch_add(1) != 0;
        ordered = ordered && fraction >= last && fraction <= 1.0;
        last = fraction;
        ++calls;
        full += fraction >= 1.0;
        inside.fetch_sub(1);
        return true;
    });
    EXPECT_EQ(done.status, RunStatus::Completed);
    EXPECT_EQ(done.table.size(), 19u * 19 * 19 * 19 * 19 - 1);
    EXPECT_GE(calls, 1);
    EXPECT_FALSE(overlapped);
    EXPECT_TRUE(ordered);
    EXPECT_EQ(last, 1.0);
    // The bar keeps moving while the 2.5 million rows are written: it is full only at the end.
    EXPECT_LE(full, 2);

    for (int stopAt : {1, 2, 3}) {  // at the start, after the walk, after the rows
        int seen = 0;
        const RunResult cancelled = runGeneration(in, {}, [&](double) { return ++seen < stopAt; });
        EXPECT_EQ(cancelled.status, RunStatus::Cancelled);
        EXPECT_TRUE(cancelled.table.empty());
    }
}
