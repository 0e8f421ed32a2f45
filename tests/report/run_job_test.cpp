// The run job of the window and of tesral-cli's plot commands: loops, 3D points, list file,
// and a stop that comes after the loops.

#include "report/run_job.h"

#include <gtest/gtest.h>

#include <fstream>
#include <mutex>
#include <sstream>

namespace tesral {
namespace {

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ListFileRequest listFile(const std::string& name, const PreparedRun& run) {
    ListFileRequest list;
    list.path = ::testing::TempDir() + name;
    list.header = run.header;
    list.options.columns = ReportColumns::all(run.indexDimension);
    std::remove(list.path.c_str());
    return list;
}

TEST(RunJob, KeepsRowsPointsAndTheListFileAsTheReportWriterWritesIt) {
    const PreparedRun run = prepareRun(RunInputs{});
    const ListFileRequest list = listFile("run_job.hkl", run);
    std::mutex mutex;
    double last = 0.0;
    RunJobOptions options;
    options.list = &list;
    options.progress = [&](double fraction) {
        const std::lock_guard lock(mutex);
        last = std::max(last, fraction);
    };
    const RunOutcome outcome = runJob(run, {}, options);
    ASSERT_EQ(outcome.result.status, RunStatus::Completed);
    EXPECT_GT(outcome.result.table.size(), 0u);
    EXPECT_EQ(outcome.points.size(), outcome.result.table.size());
    EXPECT_FALSE(outcome.listFileError);
    std::ostringstream expected;
    writeReport(expected, outcome.result.table, list.header, list.options);
    EXPECT_EQ(fileText(list.path), expected.str());
    EXPECT_DOUBLE_EQ(last, 1.0);

    // Without a list file and points, as a text command runs: the same rows.
    RunJobOptions textCommand;
    textCommand.points = false;
    const RunOutcome rowsOnly = runJob(run, {}, textCommand);
    EXPECT_EQ(rowsOnly.result.table.size(), outcome.result.table.size());
    EXPECT_TRUE(rowsOnly.points.empty());
}

TEST(RunJob, StopAfterTheLoopsCancelsAndKeepsNothing) {
    const PreparedRun run = prepareRun(RunInputs{});
    const ListFileRequest list = listFile("run_job_late.hkl", run);
    std::atomic<bool> stop{false};
    RunJobOptions options;
    options.list = &list;
    options.stop = &stop;
    // Escape while the list file is being written: the loops have ended.
    options.progress = [&stop](double fraction) {
        if (fraction > kLoopsShareOfProgress) stop = true;
    };
    const RunOutcome outcome = runJob(run, {}, options);
    EXPECT_EQ(outcome.result.status, RunStatus::Cancelled);
    EXPECT_TRUE(outcome.result.table.empty());
    EXPECT_TRUE(outcome.points.empty());
    EXPECT_FALSE(outcome.listFileError);
}

TEST(RunJob, RowsStepReachesTheListFileAndCanBeStopped) {
    const PreparedRun run = prepareRun(RunInputs{});
    ListFileRequest list = listFile("run_job_step.hkl", run);
    list.options.columns.intensity = true;
    RunJobOptions options;
    options.list = &list;
    options.rowsStep = [](RunResult& result, const std::function<bool()>&) {
        for (ReflectionRecord& row : result.table) row.v[kIntensity] = 42.5f;
        return true;
    };
    const RunOutcome outcome = runJob(run, {}, options);
    ASSERT_EQ(outcome.result.status, RunStatus::Completed);
    EXPECT_EQ(outcome.result.table[0].v[kIntensity], 42.5f);
    EXPECT_NE(fileText(list.path).find("  42.50000\r\n"), std::string::npos);

    // Escape during the step: the run ends cancelled and keeps nothing.
    std::atomic<bool> stop{false};
    options.stop = &stop;
    options.rowsStep = [&stop](RunResult&, const std::function<bool()>& stopped) {
        stop = true;
        return !stopped();
    };
    const RunOutcome stopped = runJob(run, {}, options);
    EXPECT_EQ(stopped.result.status, RunStatus::Cancelled);
    EXPECT_TRUE(stopped.result.table.empty());
    EXPECT_TRUE(stopped.points.empty());
}

}  // namespace
}  // namespace tesral
