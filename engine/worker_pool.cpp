#include "worker_pool.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/fan_out.h"

namespace tesral {

unsigned workerCount() {
    return std::max(1u, std::thread::hardware_concurrency());
}

bool runWorkers(const std::function<void()>& work, const ProgressCallback& progress,
                const std::function<double()>& fraction, std::atomic<bool>& stop, bool askFirst,
                unsigned workers) {
    const unsigned count = std::max(1u, workers);
    const auto setStop = [&stop] { stop = true; };
    if (!progress) {
        // Nobody to ask: the calling thread does a share of the work instead of waiting.
        fanOut(
            count - 1, [&work](std::size_t) { work(); }, work, setStop);
        return true;
    }
    std::mutex mutex;
    std::condition_variable finished;
    unsigned running = count;
    bool cancelled = false;

    const auto oneWorker = [&](std::size_t) {
        // Counted out however the work ends, so that the waiting below always ends.
        struct Leave {
            std::mutex& mutex;
            std::condition_variable& finished;
            unsigned& running;
            ~Leave() {
                std::lock_guard<std::mutex> lock(mutex);
                if (--running == 0) finished.notify_all();
            }
        } leave{mutex, finished, running};
        work();
    };
    const auto watch = [&] {
        if (!progress) return;
        const auto ask = [&] {
            if (!cancelled && !progress(fraction())) {
                cancelled = true;
                stop = true;
            }
        };
        if (askFirst) ask();
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            const bool done = finished.wait_for(lock, std::chrono::milliseconds(10),
                                                [&] { return running == 0; });
            lock.unlock();
            ask();  // every 10 ms, and once more when the work is done
            lock.lock();
            if (done) break;
        }
    };
    fanOut(count, oneWorker, watch, setStop);
    return !cancelled;
}

}  // namespace tesral
