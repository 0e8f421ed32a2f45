#pragma once

#include <array>
#include <cmath>

#include "engine/reflection_table.h"

namespace tesral {

/** Which of the thirteen report columns are shown: h1..h6, Theta, d, qe, qi, x, y, z. */
struct ReportColumns {
    std::array<bool, 13> show{};

    /** From the Table menu choices; h6 is dropped when the run has five indices. */
    static ReportColumns fromChoices(bool indices, bool theta, bool dSpacing, bool qeQi, bool xyz,
                                     int indexDimension) {
        ReportColumns c;
        for (int i = 0; i < 6; ++i) c.show[i] = indices;
        c.show[6] = theta;
        c.show[7] = dSpacing;
        c.show[8] = c.show[9] = qeQi;
        c.show[10] = c.show[11] = c.show[12] = xyz;
        if (indexDimension == 5) c.show[5] = false;
        return c;
    }
};

/** The value written for column 6..12 (a record element); qi is written without its sign. */
inline double columnValue(const ReflectionRecord& row, int column) {
    const double value = row.v[column];
    return column == kQi ? std::fabs(value) : value;
}

}  // namespace tesral
