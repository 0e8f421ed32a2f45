#include "physics/sampled_function.h"

#include <algorithm>
#include <cmath>

namespace tesral::physics {

SampledFunction::SampledFunction(std::function<double(double)> f, double step, double upTo)
    : f_(std::move(f)) {
    if (!(step > 0.0) || !(upTo > 0.0) || !std::isfinite(upTo)) return;
    const double steps = std::ceil(upTo / step);
    steps_ = static_cast<std::size_t>(std::clamp(steps, 1.0, static_cast<double>(kMaxSamples)));
    // One sample before 0 and two past the range feed the cubic at both ends.
    values_.resize(steps_ + 3);
    for (std::size_t i = 0; i < values_.size(); ++i)
        values_[i] = f_((static_cast<double>(i) - 1.0) * step);
    inverseStep_ = 1.0 / step;
    limit_ = static_cast<double>(steps_) * step;
}

}  // namespace tesral::physics
