#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace tesral::physics {

/**
 * An even, smooth function of x >= 0 sampled once on an even grid and read back by cubic
 * interpolation through the four nearest samples: the error is at most 3/128 step^4 times the
 * largest |f''''|. Beyond the sampled range, at most kMaxSamples steps, the function is
 * evaluated directly.
 */
class SampledFunction {
  public:
    static constexpr std::size_t kMaxSamples = std::size_t{1} << 16;

    SampledFunction() = default;
    SampledFunction(std::function<double(double)> f, double step, double upTo);

    double operator()(double x) const {
        if (x < limit_) {
            const double t = x * inverseStep_;
            std::size_t i = static_cast<std::size_t>(t);
            if (i >= steps_) i = steps_ - 1;
            const double u = t - static_cast<double>(i);
            // values_[i + 1] holds f(i step); values_[0] holds f(-step).
            const double* p = values_.data() + i;
            const double um = u - 1.0, up = u + 1.0, u2 = u - 2.0;
            const double a = u * um, b = up * u2;  // the weights over 6 share these products
            return (a * (up * p[3] - u2 * p[0]) + 3.0 * b * (um * p[1] - u * p[2])) * (1.0 / 6.0);
        }
        return f_(x);
    }

  private:
    std::function<double(double)> f_;
    std::vector<double> values_;
    double inverseStep_ = 0.0;
    double limit_ = 0.0;     // sampled below this
    std::size_t steps_ = 0;  // the sampled range in steps
};

}  // namespace tesral::physics
