#include "app/run_controller.h"

#include <exception>
#include <new>
#include <system_error>

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

void RunController::start(physics::Calculation calculation, PreparedRun run,
                          const TableStatistics& previous, ListFileRequest list) {
    if (busy_) return;
    busy_ = true;
    cancel_ = false;
    progress_ = 0.0;
    try {
        worker_ =
            std::thread([this, calculation = std::move(calculation), run = std::move(run), previous,
                         list = std::move(list)] { work(calculation, run, previous, list); });
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

void RunController::work(const physics::Calculation& calculation, const PreparedRun& run,
                         const TableStatistics& previous, const ListFileRequest& list) {
    auto outcome = std::make_shared<RunOutcome>();
    try {
        RunJobOptions job;
        job.list = &list;
        job.stop = &cancel_;
        job.progress = [this](double fraction) {
            progress_.store(fraction, std::memory_order_relaxed);
        };
        *outcome = physics::run(calculation, run, job, previous);
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
