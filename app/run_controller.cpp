#include "app/run_controller.h"

#include <exception>
#include <new>
#include <system_error>

#include "engine/projected_points.h"

namespace tesral {

RunController::RunController(QObject* parent) : QObject(parent) {}

RunController::~RunController() {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

namespace {

/** A run that ended on an exception: no rows, the reason as its message. */
void fail(RunOutcome& outcome, std::string message) {
    outcome.result.status = RunStatus::Failed;
    outcome.result.message = std::move(message);
    outcome.result.table = ReflectionTable();
    outcome.points = ProjectedPoints();
    outcome.listFileError.reset();
}

std::string failureMessage(const std::exception& e) {
    return "The run failed: " + std::string(e.what()) + ".";
}

}  // namespace

void RunController::start(PreparedRun run, const TableStatistics& previous, ListFileRequest list) {
    if (busy_) return;
    busy_ = true;
    cancel_ = false;
    progress_ = 0.0;
    try {
        worker_ = std::thread([this, run = std::move(run), previous, list = std::move(list)] {
            work(run, previous, list);
        });
    } catch (const std::system_error& e) {
        auto outcome = std::make_shared<RunOutcome>();
        fail(*outcome, failureMessage(std::system_error(e.code(), "cannot start a thread")));
        report(outcome);
    }
}

void RunController::report(const std::shared_ptr<RunOutcome>& outcome) {
    // Back on the controller's thread: the worker has returned by the time this runs.
    QMetaObject::invokeMethod(
        this,
        [this, outcome] {
            if (worker_.joinable()) worker_.join();
            busy_ = false;
            emit finished(outcome);
        },
        Qt::QueuedConnection);
}

void RunController::work(const PreparedRun& run, const TableStatistics& previous,
                         const ListFileRequest& list) {
    auto outcome = std::make_shared<RunOutcome>();
    try {
        outcome->result = runPrepared(run, previous, [this](double fraction) {
            progress_.store(kLoopsShareOfProgress * fraction, std::memory_order_relaxed);
            return !cancel_.load(std::memory_order_relaxed);
        });
        // Escape counts until the window shows the results: the 3D points and the list
        // file of a large run take a moment too, and the bar goes on moving through them.
        if (outcome->result.status == RunStatus::Completed && !cancel_)
            outcome->points = projectedPointsOf(outcome->result.table, &cancel_);
        const std::size_t rows = outcome->result.table.size();
        std::atomic<std::size_t> written{0};
        const auto rowsFormatted = [this, rows, &written](std::size_t count) {
            const double done = static_cast<double>(written += count) / static_cast<double>(rows);
            progress_.store(kLoopsShareOfProgress + (1.0 - kLoopsShareOfProgress) * done,
                            std::memory_order_relaxed);
        };
        if (outcome->result.status == RunStatus::Completed && !cancel_)
            outcome->listFileError =
                writeReportFile(list.path, outcome->result.table, list.header, list.options,
                                &cancel_, SafeFile::Accept::RegularFilesOnly, rowsFormatted);
        if (outcome->result.status == RunStatus::Completed && cancel_) {
            outcome->result.status = RunStatus::Cancelled;
            outcome->result.table = ReflectionTable();
            outcome->points = ProjectedPoints();
            outcome->listFileError.reset();
        }
    } catch (const std::bad_alloc&) {
        fail(*outcome, kNotEnoughMemoryMessage);
    } catch (const std::exception& e) {
        fail(*outcome, failureMessage(e));
    } catch (...) {
        fail(*outcome, "The run failed.");
    }
    report(outcome);
}

}  // namespace tesral
