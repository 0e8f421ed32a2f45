#include "physics/measured_pattern_peaks.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

#include "physics/measured_pattern.h"

namespace tesral::physics {

double medianStep(const std::vector<double>& x) {
    if (x.size() < 2) return 0.0;
    std::vector<double> steps;
    steps.reserve(x.size() - 1);
    for (std::size_t i = 1; i < x.size(); ++i) steps.push_back(x[i] - x[i - 1]);
    std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
    return steps[steps.size() / 2];
}

double noiseLevel(const std::vector<double>& y) {
    if (y.size() < 3) return 0.0;
    std::vector<double> curvature;
    curvature.reserve(y.size() - 2);
    for (std::size_t i = 1; i + 1 < y.size(); ++i)
        curvature.push_back(std::fabs(y[i + 1] - 2 * y[i] + y[i - 1]));
    std::nth_element(curvature.begin(), curvature.begin() + curvature.size() / 2, curvature.end());
    // Gaussian noise of sigma gives second differences of sigma sqrt(6); 0.6745: MAD to sigma.
    return curvature[curvature.size() / 2] / (0.6745 * std::sqrt(6.0));
}

std::vector<double> runningMean(const std::vector<double>& y, std::size_t half) {
    const std::size_t n = y.size();
    // Sums of whole prefixes: a window's sum is a difference, so each point costs the same.
    std::vector<long double> prefix(n + 1, 0.0L);
    for (std::size_t i = 0; i < n; ++i) prefix[i + 1] = prefix[i] + y[i];
    std::vector<double> mean(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t lo = i >= half ? i - half : 0, hi = std::min(n - 1, i + half);
        mean[i] = static_cast<double>((prefix[hi + 1] - prefix[lo]) /
                                      static_cast<long double>(hi - lo + 1));
    }
    return mean;
}

std::vector<double> windowExtreme(const std::vector<double>& v, std::ptrdiff_t before,
                                  std::ptrdiff_t after, bool largest) {
    const auto n = static_cast<std::ptrdiff_t>(v.size());
    const auto better = [largest](double a, double b) { return largest ? a >= b : a <= b; };
    const double none = largest ? -std::numeric_limits<double>::infinity()
                                : std::numeric_limits<double>::infinity();
    std::vector<double> out(v.size(), none);
    // Indices whose values fall from front to back (largest): the front is the window's best.
    std::deque<std::ptrdiff_t> best;
    std::ptrdiff_t next = 0;
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const std::ptrdiff_t hi = std::min(n - 1, i + after);
        for (; next <= hi; ++next) {
            while (!best.empty() && better(v[next], v[best.back()])) best.pop_back();
            best.push_back(next);
        }
        while (!best.empty() && best.front() < i - before) best.pop_front();
        if (!best.empty() && best.front() <= hi) out[i] = v[best.front()];
    }
    return out;
}

std::optional<double> parabolaTop(const std::vector<double>& x, const std::vector<double>& y,
                                  std::size_t first, std::size_t last, std::size_t at) {
    if (last < first + 2) return std::nullopt;
    const auto m = static_cast<Eigen::Index>(last - first + 1);
    // y = c0 + c1 t + c2 t^2, t = x - x[at].
    Eigen::MatrixXd a(m, 3);
    Eigen::VectorXd b(m);
    for (Eigen::Index k = 0; k < m; ++k) {
        const double t = x[first + k] - x[at];
        a.row(k) << 1.0, t, t * t;
        b(k) = y[first + k];
    }
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(a);
    if (qr.rank() < 3) return std::nullopt;
    const Eigen::Vector3d c = qr.solve(b);
    if (!(c(2) < 0.0)) return std::nullopt;
    const double vertex = -c(1) / (2.0 * c(2));
    if (!(std::fabs(vertex) <= (x[last] - x[first]) / 2.0)) return std::nullopt;
    return vertex;
}

std::vector<Peak> findPeaks(const MeasuredData& data, double threshold) {
    const std::vector<double>& x = data.twoTheta;
    const std::vector<double>& y = data.intensity;
    std::vector<Peak> peaks;
    if (data.kind == MeasuredKind::PeakList) {
        for (std::size_t i = 0; i < x.size(); ++i) peaks.push_back({x[i], y[i]});
        return peaks;
    }
    const std::size_t n = x.size();
    if (n < 2) return peaks;
    const double step = medianStep(x);
    // A peak is the highest point within a few hundredths of a degree.
    const std::size_t w =
        step > 0.0 ? std::max<std::size_t>(2, std::lround(std::min(0.04 / step, 1e9))) : 2;
    const auto [lowest, highest] = std::minmax_element(y.begin(), y.end());
    // A peak must stand well above the noise as well as above the threshold.
    const double needed = std::max(threshold * (*highest - *lowest), 6.0 * noiseLevel(y));
    // Maxima are looked for in a running mean, so noise on a flank makes no peak.
    const std::vector<double> smooth = runningMean(y, w / 2);
    const auto sw = static_cast<std::ptrdiff_t>(w);
    const std::vector<double> left = windowExtreme(smooth, sw, -1, true);
    const std::vector<double> right = windowExtreme(smooth, -1, sw, true);
    const std::vector<double> background = windowExtreme(smooth, 10 * sw, 10 * sw, false);
    // Rounding in the running mean must not split a flat top into many.
    const double tie = 1e-12 * std::max(std::fabs(*highest), std::fabs(*lowest));
    for (std::size_t i = 0; i < n; ++i) {
        if (!(left[i] < smooth[i] - tie && right[i] <= smooth[i] + tie)) continue;
        const double height = smooth[i] - background[i];
        if (height < needed || height <= 0.0) continue;
        // The top: the points above half height next to the maximum, at most 3 w each side.
        // Tops lie more than w apart, so these walks stay linear in all.
        const double halfHeight = background[i] + 0.5 * height;
        std::size_t first = i, last = i;
        while (first > 0 && i - first < 3 * w && smooth[first - 1] >= halfHeight) --first;
        while (last + 1 < n && last - i < 3 * w && smooth[last + 1] >= halfHeight) ++last;
        if (first == i) first = i > 0 ? i - 1 : i;
        if (last == i) last = std::min(n - 1, i + 1);
        peaks.push_back({x[i] + parabolaTop(x, y, first, last, i).value_or(0.0), height});
    }
    return peaks;
}

}  // namespace tesral::physics
