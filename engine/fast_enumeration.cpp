// The production enumerator: walks only the region that can hold accepted reflections,
// spread over all cores, and returns the rows in run order.
//
// Two passes keep the memory near the table itself: the first finds the kept vectors and
// notes each one as a 4-byte position in its task's walk (with its direction class); the
// second sizes the table exactly and recomputes the rows in place, with their main-spot
// marks and the statistics of each task. Both passes walk a task identically, so the
// positions agree. The table is allocated unfilled: its pages are first touched by the
// workers of the second pass, each for its own task, where a cancel is seen within
// milliseconds. Progress is the covered fraction of the box, then the fraction of the rows
// written (see kWalkShareOfProgress).

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "engine/index_walk.h"
#include "engine/large_pages.h"
#include "engine/run_steps.h"
#include "engine/table_extremes.h"
#include "engine/worker_pool.h"

namespace tesral {
namespace {

// A kept vector: its position in the task's walk, the direction class in the top bits.
constexpr int kClassShift = 30;
constexpr std::uint32_t kPositionMask = (1u << kClassShift) - 1;
// Work units between looks at the shared flags (about a tenth of a millisecond).
constexpr int kCheckInterval = 2048;

struct Task {
    std::array<int, 6> prefix{};
    std::vector<std::uint32_t> kept;
    std::size_t offset = 0;
    BlockExtremes extremes;
};

/** Prefix depth: at least two levels, and deep enough that one task's walk fits 30 bits. */
int taskDepth(const std::array<int, 6>& limits, int n) {
    int depth = 2;
    for (;; ++depth) {
        double size = 1.0;
        for (int k = depth; k < n; ++k) size *= 2.0 * limits[k] + 1.0;
        if (size < static_cast<double>(1u << kClassShift) || depth == n - 1) return depth;
    }
}

/** Shared between the workers of one run. */
struct Shared {
    const RunContext& ctx;
    IndexRegion region;
    SurePass surePass;
    int depth = 2;
    bool cacheClass = false;
    /** Fraction of the box under one value of index k. */
    double unit[6] = {};
    std::atomic<bool> stop{false};
    std::atomic<bool> invalid{false};
    std::atomic<double> covered{0.0};

    std::mutex cursorMutex;
    PrefixCursor cursor;
    std::deque<Task> tasks;

    std::vector<Task*> writeList;
    std::atomic<std::size_t> nextWrite{0};
    ReflectionTable* table = nullptr;
    std::atomic<std::size_t> written{0};

    Shared(const RunContext& c, const IndexRegion& r)
        : ctx(c),
          region(r),
          surePass(surePassBand(c.geometry, r)),
          depth(taskDepth(r.limits, c.n)),
          cursor(region, c.geometry, depth) {
        const int n = c.n;
        double below = 1.0;
        for (int k = n - 1; k >= 0; --k) {
            unit[k] = below / static_cast<double>(ctx.totalLoops);
            below *= 2.0 * region.limits[k] + 1.0;
        }
        // Without a coupling of h5 into x and y, the class of a row does not depend on h5.
        cacheClass = n == 6 || (ctx.basis.inverse(0, 4) == 0.0 && ctx.basis.inverse(1, 4) == 0.0);
    }

    void replay(const Task& t, WalkState& s) const {
        for (int k = 0; k < depth; ++k) {
            s.enter(region, k);
            s.fix(region, ctx.geometry, k, t.prefix[k]);
        }
    }
};

/** Coverage and flag checks of one worker, passed to the shared state in batches. */
struct Tally {
    Shared& sh;
    double covered = 0.0;
    int sinceCheck = 0;

    void operator()(int k, int count) { covered += count * sh.unit[k]; }
    /** False when the run must stop. */
    bool work(int units) {
        sinceCheck += units;
        if (sinceCheck < kCheckInterval) return true;
        flush();
        return !sh.stop.load(std::memory_order_relaxed);
    }
    void flush() {
        sh.covered.fetch_add(covered, std::memory_order_relaxed);
        covered = 0.0;
        sinceCheck = 0;
    }
};

/** First pass over one innermost range: which vectors are kept. */
struct FindKept {
    Shared& sh;
    Tally& tally;
    std::vector<std::uint32_t>& kept;
    std::uint32_t position = 0;

    bool operator()(WalkState& s) {
        const RunContext& ctx = sh.ctx;
        const GeometryContext& g = ctx.geometry;
        const int k = g.n - 1;
        const LevelRange range = s.range[k];
        bool prefixZero = true;
        for (int j = 0; j < k; ++j) prefixZero = prefixZero && s.h[j] == 0;
        bool classKnown = false;
        ReflectionRecord row;
        for (int j = 0; j < 6; ++j) row.v[kH1 + j] = static_cast<float>(s.h[j]);
        for (int v = range.hi; v >= range.lo; --v, ++position) {
            if (prefixZero && v == 0) continue;  // the origin is never evaluated
            double q[6];
            s.project(g, v, q);
            if (!sh.surePass.contains(q, g.n)) {
                const Evaluation e = evaluateProjection(q, g);
                if (!e.finite) {
                    sh.invalid = true;
                    sh.stop = true;
                    return false;
                }
                if (!e.accepted) continue;
            }
            row.v[kH1 + k] = static_cast<float>(v);
            if (!classKnown || !sh.cacheClass) {
                row.directionClass = classifyDirection(row, ctx.basis);
                classKnown = true;
            }
            if (!ctx.rules.isExtinct(row))
                kept.push_back(position | static_cast<std::uint32_t>(row.directionClass)
                                              << kClassShift);
        }
        tally.covered += (2.0 * sh.region.limits[k] + 1.0) * sh.unit[k];
        return tally.work(rangeSize(range) + 16);
    }
};

/** Second pass over one innermost range: writes the kept rows of the task. */
struct WriteKept {
    Shared& sh;
    Task& task;
    std::size_t next = 0;
    std::uint32_t base = 0;
    int sinceCheck = 0;
    std::size_t counted = 0;  // rows of `next` already added to sh.written

    void count() {
        sh.written.fetch_add(next - counted, std::memory_order_relaxed);
        counted = next;
    }

    bool operator()(WalkState& s) {
        const GeometryContext& g = sh.ctx.geometry;
        const int k = g.n - 1;
        const LevelRange range = s.range[k];
        const std::uint32_t size = static_cast<std::uint32_t>(rangeSize(range));
        for (; next < task.kept.size(); ++next) {
            const std::uint32_t packed = task.kept[next];
            const std::uint32_t position = packed & kPositionMask;
            if (position >= base + size) break;
            const int v = range.hi - static_cast<int>(position - base);
            double q[6];
            s.project(g, v, q);
            s.h[k] = v;
            ReflectionRecord& row = (*sh.table)[task.offset + next];
            fillReflection(s.h, evaluateProjection(q, g), row);
            row.directionClass = static_cast<DirectionClass>(packed >> kClassShift);
            row.isMainSpot = isMainReflection(row, g.n);
            task.extremes.offer(row, g.n);
        }
        base += size;
        if (next == task.kept.size()) return false;  // nothing more in this task
        if (++sinceCheck < kCheckInterval) return true;
        sinceCheck = 0;
        count();
        return !sh.stop.load(std::memory_order_relaxed);
    }
};

void findKept(Shared& sh) {
    Tally tally{sh};
    std::vector<std::uint32_t> scratch;
    WalkState start;
    for (;;) {
        Task* task = nullptr;
        {
            std::lock_guard<std::mutex> lock(sh.cursorMutex);
            if (sh.stop || !sh.cursor.next(start, tally)) break;
            task = &sh.tasks.emplace_back();
            for (int k = 0; k < sh.depth; ++k) task->prefix[k] = start.h[k];
        }
        WalkState s = start;
        FindKept inner{sh, tally, scratch};
        const bool finished = walkLevels(sh.region, sh.ctx.geometry, s, sh.depth, inner, tally);
        task->kept.assign(scratch.begin(), scratch.end());  // exact size
        scratch.clear();
        if (!finished) break;
    }
    tally.flush();
}

void writeKept(Shared& sh) {
    const auto ignore = [](int, int) {};
    for (;;) {
        const std::size_t i = sh.nextWrite.fetch_add(1);
        if (i >= sh.writeList.size() || sh.stop) return;
        Task& task = *sh.writeList[i];
        prefaultPages(sh.table->data() + task.offset, task.kept.size() * sizeof(ReflectionRecord));
        WalkState s;
        sh.replay(task, s);
        WriteKept inner{sh, task};
        walkLevels(sh.region, sh.ctx.geometry, s, sh.depth, inner, ignore);
        inner.count();
    }
}

}  // namespace

/** Boxes of fewer index vectors than this are walked by one thread. */
constexpr BoxCount kOneThreadLoops = 1 << 15;

EnumerationEnd enumerateFast(const RunContext& ctx, ReflectionTable& table, TableStatistics& stats,
                             const ProgressCallback& progress) {
    const IndexRegion region = boundIndexRegion(ctx.geometry, ctx.limits);
    if (region.kind == IndexRegion::Kind::Empty)  // nothing to walk: the box is covered
        return progress && !progress(1.0) ? EnumerationEnd::Cancelled : EnumerationEnd::Done;
    Shared sh(ctx, region);

    const auto coveredFraction = [&sh] {
        return kWalkShareOfProgress * std::min(1.0, sh.covered.load());
    };
    // A small box is walked on one thread: starting more would take longer than the walk.
    const unsigned workers = ctx.totalLoops < kOneThreadLoops ? 1 : workerCount();
    if (!runWorkers([&sh] { findKept(sh); }, progress, coveredFraction, sh.stop, true, workers))
        return EnumerationEnd::Cancelled;
    if (sh.invalid) return EnumerationEnd::InvalidNumber;
    if (progress && !progress(kWalkShareOfProgress)) return EnumerationEnd::Cancelled;

    std::size_t rows = 0;
    for (Task& t : sh.tasks) {
        t.offset = rows;
        rows += t.kept.size();
        if (!t.kept.empty()) sh.writeList.push_back(&t);
    }
    table = ReflectionTable();
    resizeUnfilled(table, rows);
    sh.table = &table;
    const auto writtenFraction = [&sh, rows] {
        if (rows == 0) return 1.0;
        const double done = static_cast<double>(sh.written.load()) / static_cast<double>(rows);
        return kWalkShareOfProgress + (1.0 - kWalkShareOfProgress) * std::min(1.0, done);
    };
    if (!runWorkers([&sh] { writeKept(sh); }, progress, writtenFraction, sh.stop, false, workers)) {
        table = ReflectionTable();
        return EnumerationEnd::Cancelled;
    }
    for (const Task* t : sh.writeList) t->extremes.widen(stats);
    return EnumerationEnd::Done;
}

}  // namespace tesral
