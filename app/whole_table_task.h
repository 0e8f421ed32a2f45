#pragma once

#include <QString>
#include <atomic>
#include <cstddef>
#include <functional>

class QWidget;

namespace tesral {

/** How far a whole-table task is, and whether the user asked it to stop; shared by threads. */
class TaskProgress {
  public:
    /** Steps of the whole task; 0 (the start) shows a busy bar without a fraction. */
    void setTotal(std::size_t steps) { total_ = steps; }
    void advance(std::size_t steps = 1) { done_ += steps; }
    void setDone(std::size_t steps) { done_ = steps; }
    /** Done so far, in thousandths of the total (0 while the total is unknown). */
    int permille() const;

    /** Set by the Cancel button and Escape; the task should end soon after. */
    bool cancelled() const { return stop_; }
    void cancel() { stop_ = true; }
    /** The same flag, for writers that take a stop flag (writeReportFile). */
    const std::atomic<bool>& stopFlag() const { return stop_; }

  private:
    std::atomic<std::size_t> total_{0};
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> stop_{false};
};

/** Tasks that end sooner than this (milliseconds) show no dialog. */
inline constexpr int kProgressDelayMs = 500;

/**
 * Runs `work` on a worker thread while the window waits for it. After kProgressDelayMs a
 * modal progress dialog (objectName "taskProgress") shows `label` and how far the work is;
 * its Cancel button and Escape cancel the progress. The user's input waits until the dialog
 * shows. Returns false when the task was cancelled, or failed with an exception (a message
 * box then says why), true when it ran to its end. `work`
 * must not touch widgets; it reads the session's table, which stays as it is meanwhile.
 */
bool runWithProgress(QWidget* parent, const QString& label,
                     const std::function<void(TaskProgress&)>& work);

}  // namespace tesral
