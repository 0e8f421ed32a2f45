// Run with fail_thread_create preloaded: every fan-out of a run, of the 3D points and of the
// report meets a thread that cannot be started, and ends with an exception instead of
// aborting the program; the next attempt works.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <functional>
#include <string>
#include <system_error>

#include "engine/generation.h"
#include "engine/groups.h"
#include "engine/projected_points.h"
#include "engine/worker_pool.h"
#include "report/report_writer.h"

using namespace tesral;

namespace {

/** Fails the nth pthread_create from now; null when the library is not preloaded. */
using FailFunction = void (*)(long);
FailFunction failThreadCreate() {
    return reinterpret_cast<FailFunction>(dlsym(RTLD_DEFAULT, "tesral_fail_thread_create"));
}

RunInputs octagonalBox(const char* limit) {
    RunInputs in;
    in.system = QuasicrystalSystem::Octagonal;
    in.groupPosition = defaultGroupPosition(in.system);
    in.thetaMin = std::string("0");
    in.thetaMax = std::string("180");
    in.qiMax = std::string("1E9");
    in.loopLimits.fill(limit);
    return in;
}

}  // namespace

TEST(ThreadStartFailure, EachFanOutThrowsAndRecovers) {
    const FailFunction fail = failThreadCreate();
    if (!fail) GTEST_SKIP() << "needs fail_thread_create preloaded";
    if (workerCount() < 2) GTEST_SKIP() << "one core: the points and the report use no threads";

    const ReflectionTable rows(100000);  // enough for threads in the points and the report
    const std::string path = ::testing::TempDir() + "thread_failure.hkl";
    struct Case {
        const char* name;
        std::function<void()> call;
    };
    const Case cases[] = {
        {"run", [] { runGeneration(octagonalBox("4")); }},
        {"points", [&] { projectedPointsOf(rows); }},
        {"report",
         [&] {
             if (const auto error = writeReportFile(path, rows, {}, {}))
                 throw std::runtime_error(*error);
         }},
    };
    for (const Case& c : cases) {
        for (long nth : {1L, 2L}) {
            if (nth > 1 && std::string(c.name) != "run" && workerCount() < 3) continue;
            SCOPED_TRACE(std::string(c.name) + ", thread " + std::to_string(nth));
            fail(nth);
            try {
                c.call();
                ADD_FAILURE() << "no exception";
            } catch (const std::system_error& e) {
                EXPECT_NE(std::string(e.what()).find("cannot start a thread"), std::string::npos)
                    << e.what();
            }
            fail(0);
            EXPECT_NO_THROW(c.call());
        }
    }
    std::remove(path.c_str());
}
