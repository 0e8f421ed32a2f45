#include "worker_pool.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tesral {

unsigned workerCount() {
    return std::max(1u, std::thread::hardware_concurrency());
}

bool runWorkers(const std::function<void()>& work, const ProgressCallback& progress,
                const std::function<double()>& fraction, std::atomic<bool>& stop, bool askFirst) {
    std::mutex mutex;
    std::condition_variable finished;
    unsigned running = workerCount();
    std::exception_ptr failure;

    std::vector<std::thread> threads;
    threads.reserve(running);
    for (unsigned i = 0, count = running; i < count; ++i)
        threads.emplace_back([&] {
            try {
                work();
            } catch (...) {
                stop = true;
                std::lock_guard<std::mutex> lock(mutex);
                if (!failure) failure = std::current_exception();
            }
            std::lock_guard<std::mutex> lock(mutex);
            if (--running == 0) finished.notify_all();
        });

    bool cancelled = false;
    if (progress) {
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
    }
    for (std::thread& t : threads) t.join();
    if (failure) std::rethrow_exception(failure);
    return !cancelled;
}

}  // namespace tesral
