#include "physics/intensity.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <stdexcept>

#include "engine/worker_pool.h"
#include "physics/model_check.h"
#include "physics/structure_factor.h"

namespace tesral::physics {
namespace {

constexpr std::size_t kChunkRows = 16384;

/**
 * Runs work(begin, end) over [0, count) in chunks, on every core when there are many rows.
 * `stop` is asked on the calling thread only. False when it asked to stop.
 */
bool forEachChunk(std::size_t count, const std::function<void(std::size_t, std::size_t)>& work,
                  const std::function<bool()>& stop) {
    const std::size_t chunks = (count + kChunkRows - 1) / kChunkRows;
    const auto chunk = [&](std::size_t c) {
        work(c * kChunkRows, std::min(count, (c + 1) * kChunkRows));
    };
    const unsigned workers = workerCount();
    if (chunks < 4 || workers == 1) {
        for (std::size_t c = 0; c < chunks; ++c) {
            if (stop && stop()) return false;
            chunk(c);
        }
        return true;
    }
    std::atomic<std::size_t> next{0};
    std::atomic<bool> halt{false};
    const auto loop = [&] {
        for (std::size_t c = next++; c < chunks && !halt; c = next++) chunk(c);
    };
    ProgressCallback asker;
    if (stop) asker = [&stop](double) { return !stop(); };
    const auto fraction = [&] { return static_cast<double>(next.load()) / chunks; };
    return runWorkers(loop, asker, fraction, halt, true, workers);
}

}  // namespace

std::string modelProblem(const StructureModel& model, QuasicrystalSystem system) {
    const auto at = [&model](int line) {
        if (model.source.empty() || line <= 0) return std::string();
        return model.source + ":" + std::to_string(line) + ": ";
    };
    if (model.sites.empty()) return at(0) + "the model has no sites";
    if (FieldProblem p = nameProblem(model.name)) return p.what;
    if (FieldProblem p = radiationProblem(model.radiation)) return p.what;
    for (std::size_t k = 0; k < model.sites.size(); ++k) {
        const Site& site = model.sites[k];
        if (FieldProblem p = siteProblem(site, model.radiation.kind, system))
            return at(site.line) + "site " + std::to_string(k + 1) + ": " + p.what;
    }
    return {};
}

bool fillIntensities(const StructureModel& model, RunResult& run,
                     const std::function<bool()>& stop) {
    if (const std::string problem = modelProblem(model, run.parameters.system); !problem.empty())
        throw std::invalid_argument(problem);
    ReflectionTable& table = run.table;
    if (table.empty()) return true;
    const StructureFactor factor(model, run);

    std::mutex mutex;
    double maxIntensity = 0.0;
    const bool complete = forEachChunk(
        table.size(),
        [&](std::size_t begin, std::size_t end) {
            const float largest = factor.writeIntensities(table.data() + begin, table.data() + end);
            std::lock_guard<std::mutex> lock(mutex);
            maxIntensity = std::max(maxIntensity, static_cast<double>(largest));
        },
        stop);
    if (!complete) return false;

    // 100 for the strongest row; every row 0 when every F is 0.
    const double scale = maxIntensity > 0.0 ? 100.0 / maxIntensity : 0.0;
    return forEachChunk(
        table.size(),
        [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i)
                table[i].v[kIntensity] = static_cast<float>(table[i].v[kIntensity] * scale);
        },
        stop);
}

}  // namespace tesral::physics
