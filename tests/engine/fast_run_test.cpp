// The fast run against the literal walk: same rows, same order, same bits.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "engine/groups.h"
#include "literal_run.h"

using namespace tesral;

namespace {

std::string describe(const RunInputs& in) {
    std::string s = "system " + std::to_string(systemCode(in.system)) + " group " +
                    std::to_string(in.groupPosition) +
                    (in.convention == MatrixConvention::Yamamoto ? " Yamamoto" : " Steurer") +
                    " a " + in.a + " c " + in.c + " limits";
    for (const std::string& l : in.loopLimits) s += " " + l;
    return s + " theta " + in.thetaMin + ".." + in.thetaMax + " qiMax " + in.qiMax +
           " wavelength " + in.wavelength;
}

bool sameBits(const void* a, const void* b, std::size_t size) {
    return std::memcmp(a, b, size) == 0;
}

/** Compares everything a run publishes; the first difference fails the test. */
void expectSameRun(const RunInputs& in, const TableStatistics& previous = {},
                   std::size_t* rows = nullptr) {
    SCOPED_TRACE(describe(in));
    const RunResult fast = runGeneration(in, previous);
    if (rows) *rows = fast.table.size();
    const RunResult literal = runLiteral(in, previous);
    ASSERT_EQ(fast.status, literal.status);
    ASSERT_EQ(fast.message, literal.message);
    ASSERT_EQ(fast.totalLoops, literal.totalLoops);
    ASSERT_EQ(fast.table.size(), literal.table.size());
    for (std::size_t r = 0; r < fast.table.size(); ++r) {
        const ReflectionRecord& f = fast.table[r];
        const ReflectionRecord& l = literal.table[r];
        ASSERT_TRUE(sameBits(f.v.data(), l.v.data(), sizeof(f.v))) << "row " << r;
        ASSERT_EQ(f.directionClass, l.directionClass) << "row " << r;
        ASSERT_EQ(f.isMainSpot, l.isMainSpot) << "row " << r;
    }
    ASSERT_TRUE(sameBits(&fast.statistics, &literal.statistics, sizeof(TableStatistics)));
    ASSERT_EQ(fast.points.size(), literal.points.size());
    if (!fast.points.empty()) {
        ASSERT_TRUE(sameBits(fast.points.data(), literal.points.data(),
                             fast.points.size() * sizeof(ProjectedPoint)));
    }
}

template <class T, std::size_t N>
const T& pick(std::mt19937& rng, const T (&choices)[N]) {
    return choices[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

std::string number(std::mt19937& rng, double lo, double hi) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", std::uniform_real_distribution<double>(lo, hi)(rng));
    return text;
}

RunInputs randomInputs(std::mt19937& rng) {
    static const QuasicrystalSystem systems[] = {
        QuasicrystalSystem::Octagonal, QuasicrystalSystem::Decagonal,
        QuasicrystalSystem::Dodecagonal, QuasicrystalSystem::Icosahedral};
    static const char* const lengths[] = {"2.82", "5.1", "4", "12.06", "0.9", "-3.3", "7.7"};
    static const char* const thetaMins[] = {"0", "1.0", "5", "-10", "25"};
    static const char* const thetaMaxs[] = {"30.0", "60", "90", "90.0000025", "180", "3", "300"};
    static const char* const qiMaxs[] = {"1.0", "0", "0.25", "1E9", "-1", "1E999", "0.05"};
    static const char* const wavelengths[] = {"0.7106867", "1.5418", "0.2", "0", "-0.7", "1E999"};

    RunInputs in;
    in.system = pick(rng, systems);
    const int groups = static_cast<int>(groupsOfSystem(in.system).size());
    in.groupPosition = std::uniform_int_distribution<int>(0, groups - 1)(rng);
    in.convention = rng() % 2 ? MatrixConvention::Yamamoto : MatrixConvention::Steurer;
    in.a = rng() % 3 ? pick(rng, lengths) : number(rng, 1.0, 10.0);
    in.c = rng() % 3 ? pick(rng, lengths) : number(rng, 1.0, 20.0);
    const int most = in.system == QuasicrystalSystem::Icosahedral ? 4 : 5;
    for (std::string& l : in.loopLimits)
        l = std::to_string(std::uniform_int_distribution<int>(0, most)(rng));
    if (rng() % 25 == 0) in.loopLimits[rng() % 5] = "-1";
    in.thetaMin = rng() % 4 ? pick(rng, thetaMins) : number(rng, 0.0, 20.0);
    in.thetaMax = rng() % 4 ? pick(rng, thetaMaxs) : number(rng, 5.0, 89.0);
    in.qiMax = rng() % 4 ? pick(rng, qiMaxs) : number(rng, 0.0, 2.0);
    in.wavelength = rng() % 4 ? pick(rng, wavelengths) : number(rng, 0.1, 3.0);
    return in;
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
        std::size_t rows = 0;
        expectSameRun(randomInputs(rng), i % 7 == 0 ? previous : TableStatistics{}, &rows);
        if (HasFatalFailure()) return;
        withRows += rows > 0;
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
    in.thetaMin = "0";
    in.thetaMax = "180";
    in.qiMax = "1E9";

    std::atomic<int> inside{0};
    bool overlapped = false;
    double last = 0.0;
    bool ordered = true;
    int calls = 0;
    const RunResult done = runGeneration(in, {}, [&](double fraction) {
        overlapped = overlapped || inside.fetch_add(1) != 0;
        ordered = ordered && fraction >= last && fraction <= 1.0;
        last = fraction;
        ++calls;
        inside.fetch_sub(1);
        return true;
    });
    EXPECT_EQ(done.status, RunStatus::Completed);
    EXPECT_EQ(done.table.size(), 19u * 19 * 19 * 19 * 19 - 1);
    EXPECT_GE(calls, 1);
    EXPECT_FALSE(overlapped);
    EXPECT_TRUE(ordered);

    for (int stopAt : {1, 2}) {
        int seen = 0;
        const RunResult cancelled = runGeneration(in, {}, [&](double) { return ++seen < stopAt; });
        EXPECT_EQ(cancelled.status, RunStatus::Cancelled);
        EXPECT_TRUE(cancelled.table.empty());
        EXPECT_TRUE(cancelled.points.empty());
    }
}
