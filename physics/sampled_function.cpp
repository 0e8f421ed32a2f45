#include "physics/sampled_function.h"

#include <algorithm>
#include <cmath>

namespace tesral::physics {

SampledFunction::SampledFunction(std::function<double(double)> f, double step, double upTo)
    : f_(std::move(f)) {
    if (!(step > 0.0) || !(upTo > 0.0) || !std::isfinite(upTo)) return;
    const double steps = std::ceil(upTo / step);
    last_ = static_cast<std::size_t>(std::clamp(steps, 1.0, static_cast<double>(kMaxSamples)));
    values_.resize(last_ + 1);
    for (std::size_t i = 0; i <= last_; ++i) values_[i] = f_(static_cast<double>(i) * step);
    inverseStep_ = 1.0 / step;
    limit_ = static_cast<double>(last_) * step;
}

}  // namespace tesral::physics
