#include "app/run_controller.h"

#include <new>

#include "engine/projected_points.h"

namespace tesral {

RunController::RunController(QObject* parent) : QObject(parent) {}

RunController::~RunController() {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

void RunController::start(PreparedRun run, const TableStatistics& previous, ListFileRequest list) {
    if (worker_.joinable()) return;
    cancel_ = false;
    progress_ = 0.0;
    worker_ = std::thread([this, run = std::move(run), previous, list = std::move(list)] {
        work(run, previous, list);
    });
}

void RunController::work(const PreparedRun& run, const TableStatistics& previous,
                         const ListFileRequest& list) {
    auto outcome = std::make_shared<RunOutcome>();
    try {
        outcome->result = runPrepared(run, previous, [this](double fraction) {
            progress_.store(fraction, std::memory_order_relaxed);
            return !cancel_.load(std::memory_order_relaxed);
        });
        // Escape counts until the window shows the results: the 3D points and the list
        // file of a large run take a moment too.
        if (outcome->result.status == RunStatus::Completed && !cancel_)
            outcome->points = projectedPointsOf(outcome->result.table);
        if (outcome->result.status == RunStatus::Completed && !cancel_)
            outcome->listFileError = writeReportFile(list.path, outcome->result.table, list.header,
                                                     list.options, &cancel_);
        if (outcome->result.status == RunStatus::Completed && cancel_) {
            outcome->result.status = RunStatus::Cancelled;
            outcome->result.table = ReflectionTable();
            outcome->points = ProjectedPoints();
            outcome->listFileError.reset();
        }
    } catch (const std::bad_alloc&) {
        outcome->result.status = RunStatus::Failed;
        outcome->result.message = kNotEnoughMemoryMessage;
        outcome->result.table = ReflectionTable();
        outcome->points = ProjectedPoints();
    }
    // Back on the controller's thread: the worker has returned by the time this runs.
    QMetaObject::invokeMethod(
        this,
        [this, outcome] {
            if (worker_.joinable()) worker_.join();
            emit finished(outcome);
        },
        Qt::QueuedConnection);
}

}  // namespace tesral
