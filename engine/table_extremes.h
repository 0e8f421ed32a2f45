#pragma once

// The extremes of TableStatistics over a block of rows, so that blocks taken on several
// cores give exactly what one pass over all rows gives.

#include <cmath>

#include "engine/reflection_table.h"

namespace tesral {

/** The first value of a block that beats every earlier one, if any. */
struct BlockExtreme {
    float value = 0.0f;
    bool found = false;

    void offerHigh(float v) {
        if (!found || v > value) value = v, found = true;
    }
    void offerLow(float v) {
        if (!found || v < value) value = v, found = true;
    }
};

/** TableStatistics over one block of rows, field by field. */
struct BlockExtremes {
    BlockExtreme maxZeroLayerX, maxTheta, maxQi, minPositiveQi, minX, maxX, minY, maxY, minZ, maxZ;

    void offer(const ReflectionRecord& row, int n) {
        const float x = row.x(), y = row.y(), z = row.z(), qi = row.qi();
        if (row.h(n - 1) == 0.0f) maxZeroLayerX.offerHigh(std::fabs(x));
        maxTheta.offerHigh(row.theta());
        maxQi.offerHigh(qi);
        if (qi > 0.0f) minPositiveQi.offerLow(qi);
        minX.offerLow(x);
        maxX.offerHigh(x);
        minY.offerLow(y);
        maxY.offerHigh(y);
        minZ.offerLow(z);
        maxZ.offerHigh(z);
    }

    /**
     * Widens `s`. Merging the blocks in row order with strict comparisons keeps the value a
     * row-by-row pass keeps, down to a tie between -0 and +0.
     */
    void widen(TableStatistics& s) const {
        const auto high = [](float& into, const BlockExtreme& e) {
            if (e.found && e.value > into) into = e.value;
        };
        const auto low = [](float& into, const BlockExtreme& e) {
            if (e.found && e.value < into) into = e.value;
        };
        high(s.maxZeroLayerX, maxZeroLayerX);
        high(s.maxTheta, maxTheta);
        high(s.maxQi, maxQi);
        low(s.minPositiveQi, minPositiveQi);
        low(s.minX, minX);
        high(s.maxX, maxX);
        low(s.minY, minY);
        high(s.maxY, maxY);
        low(s.minZ, minZ);
        high(s.maxZ, maxZ);
    }
};

}  // namespace tesral
