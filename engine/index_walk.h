#pragma once

// Walking the index region in run order: h1 outermost, each index descending.

#include <array>

#include "engine/geometry.h"
#include "engine/index_region.h"

namespace tesral {

/** The indices fixed so far, with the partial sums the inner levels need. */
struct WalkState {
    int h[6] = {};
    double energy[7] = {};
    /** partial[k][i]: sum over j < k of h_j Inverse(i, j), added in index order from 0. */
    double partial[7][6] = {};
    LevelRange range[6];

    void enter(const IndexRegion& r, int k) { range[k] = levelRange(r, k, h, energy[k]); }

    void fix(const IndexRegion& r, const GeometryContext& g, int k, int value) {
        h[k] = value;
        energy[k + 1] = nextEnergy(r, k, range[k], value, energy[k]);
        for (int i = 0; i < g.n; ++i) partial[k + 1][i] = partial[k][i] + value * g.inverse[i][k];
    }

    /** The projection of the current vector with index k = n - 1 set to `value`. */
    void project(const GeometryContext& g, int value, double q[6]) const {
        const int k = g.n - 1;
        q[5] = 0.0;
        for (int i = 0; i < g.n; ++i) q[i] = partial[k][i] + value * g.inverse[i][k];
    }
};

inline int rangeSize(const LevelRange& range) {
    return range.hi >= range.lo ? range.hi - range.lo + 1 : 0;
}

/**
 * Walks levels k..n-1 below the state's fixed indices. `inner(state)` takes each innermost
 * range (state.range[n-1] set) and returns false to stop; `pruned(k, count)` hears of the
 * values of level k < n - 1 that lie outside its range. Returns false when stopped.
 */
template <class Inner, class Pruned>
bool walkLevels(const IndexRegion& r, const GeometryContext& g, WalkState& s, int k, Inner& inner,
                Pruned& pruned) {
    s.enter(r, k);
    if (k == g.n - 1) return inner(s);
    const LevelRange range = s.range[k];
    pruned(k, 2 * r.limits[k] + 1 - rangeSize(range));
    for (int v = range.hi; v >= range.lo; --v) {
        s.fix(r, g, k, v);
        if (!walkLevels(r, g, s, k + 1, inner, pruned)) return false;
    }
    return true;
}

/** Hands out the prefixes h[0..depth-1] of the region in run order. */
class PrefixCursor {
  public:
    PrefixCursor(const IndexRegion& r, const GeometryContext& g, int depth)
        : r_(r), g_(g), depth_(depth) {}

    /**
     * The next prefix, state fixed through level depth - 1; false when none is left.
     * `pruned(k, count)` hears of values skipped at the prefix levels.
     */
    template <class Pruned>
    bool next(WalkState& out, Pruned& pruned) {
        int k = depth_ - 1;
        if (!started_) {
            started_ = true;
            k = 0;
            enterLevel(0, pruned);
        } else {
            --value_[k];
        }
        for (;;) {
            if (value_[k] < s_.range[k].lo) {
                if (k == 0) return false;
                --k;
                --value_[k];
                continue;
            }
            s_.fix(r_, g_, k, value_[k]);
            if (k == depth_ - 1) {
                out = s_;
                return true;
            }
            ++k;
            enterLevel(k, pruned);
        }
    }

  private:
    template <class Pruned>
    void enterLevel(int k, Pruned& pruned) {
        s_.enter(r_, k);
        value_[k] = s_.range[k].hi;
        pruned(k, 2 * r_.limits[k] + 1 - rangeSize(s_.range[k]));
    }

    const IndexRegion& r_;
    const GeometryContext& g_;
    int depth_;
    bool started_ = false;
    WalkState s_;
    std::array<int, 6> value_{};
};

}  // namespace tesral
