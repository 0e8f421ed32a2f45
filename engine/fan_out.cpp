#include "fan_out.h"

#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tesral {

void fanOut(std::size_t count, const std::function<void(std::size_t)>& work,
            const std::function<void()>& meanwhile, const std::function<void()>& stop) {
    std::mutex mutex;
    std::exception_ptr first;
    const auto fail = [&](std::exception_ptr e) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (first) return;
            first = std::move(e);
        }
        if (stop) stop();
    };

    std::vector<std::thread> threads;
    try {
        threads.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            try {
                threads.emplace_back([&work, &fail, i] {
                    try {
                        work(i);
                    } catch (...) {
                        fail(std::current_exception());
                    }
                });
            } catch (const std::system_error& e) {
                throw std::system_error(e.code(), "cannot start a thread");
            }
        }
        if (meanwhile) meanwhile();
    } catch (...) {
        fail(std::current_exception());
    }
    for (std::thread& t : threads) t.join();
    if (first) std::rethrow_exception(first);
}

}  // namespace tesral
