#include "engine/fan_out.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

using namespace tesral;

// Whoever throws, the others are stopped and joined and the first exception comes out.
TEST(FanOut, JoinsEveryThreadAndRethrowsTheFirstException) {
    struct Case {
        const char* name;
        bool workerThrows, meanwhileThrows;
    };
    for (const Case c : {Case{"worker", true, false}, Case{"meanwhile", false, true},
                         Case{"nobody", false, false}}) {
        SCOPED_TRACE(c.name);
        std::atomic<bool> stop{false};
        std::atomic<int> ended{0};
        const auto work = [&](std::size_t i) {
            if (c.workerThrows && i == 2) throw std::runtime_error("worker 2");
            while (c.workerThrows && !stop) std::this_thread::yield();  // until stopped
            ++ended;
        };
        const auto meanwhile = [&] {
            if (c.meanwhileThrows) throw std::runtime_error("meanwhile");
        };
        std::string message;
        try {
            fanOut(4, work, meanwhile, [&] { stop = true; });
        } catch (const std::runtime_error& e) {
            message = e.what();
        }
        EXPECT_EQ(message, c.workerThrows ? "worker 2" : c.meanwhileThrows ? "meanwhile" : "");
        EXPECT_EQ(ended, c.workerThrows ? 3 : 4);
        EXPECT_EQ(stop.load(), c.workerThrows || c.meanwhileThrows);
    }
}
