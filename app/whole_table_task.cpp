#include "app/whole_table_task.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <exception>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#include "engine/generation.h"

namespace tesral {

int TaskProgress::permille() const {
    const std::size_t total = total_;
    if (total == 0) return 0;
    return static_cast<int>(std::min<std::size_t>(done_, total) * 1000 / total);
}

namespace {

/** A task that ended with an exception says why; the window goes on. */
void showFailure(QWidget* parent, const std::exception_ptr& failure) {
    QString reason = QStringLiteral("The task failed.");
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        reason = QString::fromStdString(kNotEnoughMemoryMessage);
    } catch (const std::exception& e) {
        reason = QStringLiteral("The task failed: %1").arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
    }
    QMessageBox::warning(parent, parent ? parent->window()->windowTitle() : QString(), reason);
}

}  // namespace

bool runWithProgress(QWidget* parent, const QString& label,
                     const std::function<void(TaskProgress&)>& work) {
    TaskProgress progress;
    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    const auto task = [&] {
        try {
            work(progress);
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
    };
    std::optional<std::thread> worker;
    try {
        worker.emplace(task);
    } catch (const std::system_error&) {
        task();  // no thread to spare: the work runs here, without a dialog
    }

    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (finished || clock.elapsed() >= kProgressDelayMs) loop.quit();
    });
    poll.start();
    // Until the dialog shows, clicks and keys wait: nothing may change the table meanwhile.
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (!finished) {
        QProgressDialog dialog(label, QStringLiteral("Cancel"), 0, 1000, parent);
        dialog.setObjectName(QStringLiteral("taskProgress"));
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        dialog.setMinimumDuration(0);
        QObject::connect(&dialog, &QProgressDialog::canceled, &dialog,
                         [&progress] { progress.cancel(); });
        QObject::disconnect(&poll, nullptr, nullptr, nullptr);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (finished) {
                loop.quit();
                return;
            }
            const int value = progress.permille();
            if (value == 0 && dialog.maximum() != 0) dialog.setRange(0, 0);  // busy bar
            if (value > 0 && dialog.maximum() == 0) dialog.setRange(0, 1000);
            if (value > 0) dialog.setValue(std::min(value, 999));
        });
        dialog.show();
        loop.exec();
    }
    if (worker) worker->join();
    if (failure) {
        showFailure(parent, failure);
        return false;
    }
    return !progress.cancelled();
}

}  // namespace tesral
