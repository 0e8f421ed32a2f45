// The rule for runs worth asking about before they start, shared by the window and tesral-cli.

#include "report/large_run.h"

#include <gtest/gtest.h>

#include <sstream>

#include "report/report_head.h"

namespace tesral {
namespace {

TEST(LargeRun, RowsAboveTheLimitOrMoreThanIsFree) {
    const struct {
        BoxCount rows;
        BoxCount memory, disk;
        std::optional<std::uint64_t> freeMemory, freeDisk;
        bool large;
    } cases[] = {
        {kLargeRunRows, 0, 0, std::nullopt, std::nullopt, false},
        {kLargeRunRows + 1, 0, 0, std::nullopt, std::nullopt, true},
        {1000, 72'000, 72'000, 100'000, 50'000, true},  // the list file does not fit
        {1000, 72'000, 72'000, 50'000, 100'000, true},  // the rows do not fit in memory
        {1000, 72'000, 72'000, 100'000, 100'000, false},
        {1000, 72'000, 72'000, std::nullopt, std::nullopt, false},  // free space unknown
    };
    for (const auto& c : cases) {
        const RunNeeds needs{c.rows, c.memory, c.disk};
        EXPECT_EQ(isLargeRun(needs, c.freeMemory, c.freeDisk), c.large)
            << static_cast<std::uint64_t>(c.rows);
    }
}

TEST(LargeRun, DiskNeedIsTheBytesOfTheListRows) {
    // A real run's list, written; its rows take exactly what the estimate for as many rows says.
    const RunResult result = runGeneration(RunInputs{});
    ASSERT_GT(result.table.size(), 999u);
    ReportOptions options;
    options.columns = ReportColumns::all(result.indexDimension);
    std::ostringstream out;
    writeReport(out, result.table, result.header, options);
    std::size_t headBytes = 0;
    for (const std::string& line : reportHeadLines(result.table.size(), result.header, options))
        headBytes += line.size() + 2;
    const RunNeeds needs = runNeeds(result.table.size(), options);
    EXPECT_EQ(needs.diskBytes, BoxCount{out.str().size() - headBytes});
    EXPECT_EQ(needs.memoryBytes, BoxCount{result.table.size() * kBytesPerShownRow});
}

}  // namespace
}  // namespace tesral
