#pragma once

#include <complex>
#include <functional>
#include <memory>
#include <vector>

#include "engine/generation.h"
#include "physics/exact_window.h"
#include "physics/row_projection.h"

namespace tesral::physics {

/** Builds the exact window of a site; exactWindow, or a stand-in in the tests. */
using WindowMaker = std::function<std::unique_ptr<ExactWindow>(
    QuasicrystalSystem, const LatticeBasis&, const OccupationDomain&)>;

/**
 * The factor of a window site that depends on H-perp: the window's transform times the
 * perpendicular Debye-Waller factor exp(-B-perp s-perp^2). In the axial systems H-perp
 * depends on h1..h4 only, so when a run has at least as many rows as its h1..h4 box has
 * points, the factor is tabulated over that box once, on every core; the rows then only
 * look it up.
 */
class WindowFactor {
  public:
    static constexpr std::size_t kMaxTabulated = std::size_t{1} << 20;

    WindowFactor(std::unique_ptr<ExactWindow> window, double bPerpendicular, const RunResult& run);

    /** Area or volume of the window, square or cubic angstrom. */
    double measure() const { return window_->measure(); }
    bool tabulated() const { return !values_.empty(); }

    std::complex<double> operator()(const ReflectionRecord& row) const {
        if (tabulated()) {
            std::size_t index = 0;
            bool inside = true;
            for (int i = 0; i < 4; ++i) {
                const int h = static_cast<int>(row.v[kH1 + i]) + limit_[i];
                inside = inside && h >= 0 && h <= 2 * limit_[i];
                index += static_cast<std::size_t>(h) * stride_[i];
            }
            if (inside) return values_[index];
        }
        return evaluate(projector_.split(row));
    }

  private:
    std::complex<double> evaluate(const SplitVector& q) const;
    void tabulate();

    std::unique_ptr<ExactWindow> window_;
    double bPerpendicular_ = 0.0;
    RowProjector projector_;
    int limit_[4] = {};
    std::size_t stride_[4] = {};
    std::vector<std::complex<double>> values_;  // over the h1..h4 box, h1 slowest
};

}  // namespace tesral::physics
