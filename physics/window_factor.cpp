#include "physics/window_factor.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/fan_out.h"
#include "engine/worker_pool.h"

namespace tesral::physics {

WindowFactor::WindowFactor(std::unique_ptr<ExactWindow> window, double bPerpendicular,
                           const RunResult& run)
    : window_(std::move(window)), bPerpendicular_(bPerpendicular), projector_(run.basis) {
    if (!window_) throw std::logic_error("no exact window was built for a window site");
    const LatticeBasis& b = run.basis;
    // The axial perpendicular rows of the inverse are 2 and 3; h5 must not reach them.
    if (b.n != 5 || b.inverse(2, 4) != 0.0 || b.inverse(3, 4) != 0.0) return;
    std::size_t points = 1;
    for (int i = 3; i >= 0; --i) {
        limit_[i] = std::max(0, run.parameters.loopLimit[static_cast<std::size_t>(i)]);
        stride_[i] = points;
        points *= static_cast<std::size_t>(2 * limit_[i] + 1);
        if (points > kMaxTabulated) return;
    }
    if (points > run.table.size()) return;
    values_.resize(points);
    tabulate();
}

std::complex<double> WindowFactor::evaluate(const SplitVector& q) const {
    const double sPerp = q.perpendicularLength / 2.0;
    return window_->transform(q.perpendicular.data()) * std::exp(-bPerpendicular_ * sPerp * sPerp);
}

void WindowFactor::tabulate() {
    const std::size_t count = values_.size();
    const std::size_t workers = std::min<std::size_t>(workerCount(), count);
    const auto slice = [&](std::size_t w) {
        const std::size_t end = count * (w + 1) / workers;
        ReflectionRecord row;
        for (std::size_t index = count * w / workers; index < end; ++index) {
            for (int i = 0; i < 4; ++i) {
                const auto h = static_cast<int>(index / stride_[i] % (2 * limit_[i] + 1));
                row.v[kH1 + i] = static_cast<float>(h - limit_[i]);
            }
            values_[index] = evaluate(projector_.split(row));
        }
    };
    // The calling thread takes the first slice.
    fanOut(
        workers - 1, [&](std::size_t w) { slice(w + 1); }, [&] { slice(0); });
}

}  // namespace tesral::physics
