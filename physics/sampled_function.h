#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace tesral::physics {

/**
 * A smooth function of x >= 0 sampled once on an even grid and read back by linear
 * interpolation: the error is at most step^2 / 8 times the largest |f''|. Beyond the sampled
 * range, which holds at most kMaxSamples steps, the function is evaluated directly.
 */
class SampledFunction {
  public:
    static constexpr std::size_t kMaxSamples = std::size_t{1} << 20;

    SampledFunction() = default;
    SampledFunction(std::function<double(double)> f, double step, double upTo);

    double operator()(double x) const {
        if (x < limit_) {
            const double t = x * inverseStep_;
            std::size_t i = static_cast<std::size_t>(t);
            if (i >= last_) i = last_ - 1;
            const double u = t - static_cast<double>(i);
            return values_[i] + u * (values_[i + 1] - values_[i]);
        }
        return f_(x);
    }

  private:
    std::function<double(double)> f_;
    std::vector<double> values_;
    double inverseStep_ = 0.0;
    double limit_ = 0.0;    // sampled below this
    std::size_t last_ = 0;  // index of the last sample
};

}  // namespace tesral::physics
