#include "ordered_blocks.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "engine/fan_out.h"
#include "engine/worker_pool.h"

namespace tesral {

bool writeOrderedBlocks(SafeFile& file, std::size_t count, const BlockFormatter& format,
                        std::size_t blockRows) {
    blockRows = std::max<std::size_t>(blockRows, 1);
    const std::size_t blocks = (count + blockRows - 1) / blockRows;
    const auto rowsOf = [&](std::size_t b) {
        return std::pair{b * blockRows, std::min(count, (b + 1) * blockRows)};
    };
    const std::size_t workers = std::min<std::size_t>(workerCount(), blocks);
    if (workers <= 1) {
        std::string text;
        for (std::size_t b = 0; b < blocks; ++b) {
            text.clear();
            const auto [begin, end] = rowsOf(b);
            format(text, begin, end);
            if (!file.write(text)) return false;
        }
        return !file.failed();
    }

    // Block b is formatted into slot b % ring once block b - ring has been written.
    struct Slot {
        std::string text;
        bool ready = false;
    };
    const std::size_t ring = 2 * workers;
    std::vector<Slot> slots(ring);
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t nextBlock = 0, written = 0;
    bool stop = false;

    const auto work = [&](std::size_t) {
        std::unique_lock<std::mutex> lock(mutex);
        while (!stop && nextBlock < blocks) {
            const std::size_t b = nextBlock++;
            changed.wait(lock, [&] { return stop || b < written + ring; });
            if (stop) break;
            Slot& slot = slots[b % ring];
            lock.unlock();
            slot.text.clear();
            const auto [begin, end] = rowsOf(b);
            format(slot.text, begin, end);  // an exception stops all (see fanOut)
            lock.lock();
            slot.ready = true;
            changed.notify_all();
        }
    };
    const auto stopAll = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
        changed.notify_all();
    };

    bool ok = true;
    const auto writeInOrder = [&] {
        for (std::size_t b = 0; b < blocks && ok; ++b) {
            std::unique_lock<std::mutex> lock(mutex);
            Slot& slot = slots[b % ring];
            changed.wait(lock, [&] { return stop || slot.ready; });
            if (!slot.ready) break;  // a formatter failed
            lock.unlock();
            ok = file.write(slot.text);
            lock.lock();
            slot.ready = false;
            written = b + 1;
            if (!ok) stop = true;
            changed.notify_all();
        }
        stopAll();
    };
    fanOut(workers, work, writeInOrder, stopAll);
    return ok && !file.failed();
}

}  // namespace tesral
