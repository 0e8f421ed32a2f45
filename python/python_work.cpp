#include "python/python_work.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace tesral::python {

namespace py = pybind11;

void runWatched(const std::function<void(const physics::Watch& watch)>& work,
                const py::object& progress) {
    std::atomic<bool> stop{false};
    std::atomic<double> fraction{0.0};
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::exception_ptr failure;

    physics::Watch watch;
    watch.stop = &stop;
    watch.progress = [&fraction](double f) { fraction.store(f, std::memory_order_relaxed); };

    std::thread worker([&] {
        try {
            work(watch);
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard lock(mutex);
        done = true;
        finished.notify_all();
    });

    // The first error heard on this thread; the work is stopped and joined before it is raised.
    std::exception_ptr interrupted;
    double told = -1.0;
    while (true) {
        {
            const py::gil_scoped_release release;
            std::unique_lock lock(mutex);
            if (finished.wait_for(lock, std::chrono::milliseconds(20), [&] { return done; })) break;
        }
        try {
            if (PyErr_CheckSignals() != 0) throw py::error_already_set();
            const double now = fraction.load(std::memory_order_relaxed);
            if (!progress.is_none() && now != told) {
                told = now;
                progress(now);
            }
        } catch (...) {
            interrupted = std::current_exception();
            stop.store(true);
            break;
        }
    }
    {
        const py::gil_scoped_release release;
        worker.join();
    }
    if (interrupted) std::rethrow_exception(interrupted);
    if (failure) std::rethrow_exception(failure);
    // A last signal that came as the work ended still interrupts.
    if (PyErr_CheckSignals() != 0) throw py::error_already_set();
    if (!progress.is_none()) progress(1.0);
}

void throwOSError(const std::string& message) {
    PyErr_SetString(PyExc_OSError, message.c_str());
    throw py::error_already_set();
}

}  // namespace tesral::python
