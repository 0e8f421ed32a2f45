#include "plots/rotation.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tesral {

void Rotate(std::span<ProjectedPoint> rows, int axis, float degrees) {
    if (axis < 1 || axis > 3) return;
    const auto theta = static_cast<float>(degrees * 0.01745329252);
    const double c = static_cast<float>(std::cos(static_cast<double>(theta)));
    const double s = static_cast<float>(std::sin(static_cast<double>(theta)));
    double m[3][3];
    if (axis == 1) {
        const double a[3][3] = {{1, 0, 0}, {0, c, -s}, {0, s, c}};
        std::copy(&a[0][0], &a[0][0] + 9, &m[0][0]);
    } else if (axis == 2) {
        const double a[3][3] = {{c, 0, -s}, {0, 1, 0}, {s, 0, c}};
        std::copy(&a[0][0], &a[0][0] + 9, &m[0][0]);
    } else {
        const double a[3][3] = {{c, s, 0}, {-s, c, 0}, {0, 0, 1}};
        std::copy(&a[0][0], &a[0][0] + 9, &m[0][0]);
    }
    for (ProjectedPoint& p : rows) {
        const double q[3] = {p[0], p[1], p[2]};
        for (int i = 0; i < 3; ++i) {
            double v = 0.0;
            for (int j = 0; j < 3; ++j) v += m[i][j] * q[j];
            p[i] = static_cast<float>(v);
        }
    }
}

void sortByDepth(std::span<ProjectedPoint> rows, std::ptrdiff_t first, std::ptrdiff_t last) {
    // The smaller part is sorted by recursion, the larger one by the loop, so the stack
    // stays shallow; the parts are disjoint, so the result is that of plain recursion.
    while (first < last) {
        // Middle row, halves to the even neighbour.
        const auto middle = static_cast<std::ptrdiff_t>(std::nearbyint((first + last) / 2.0));
        const float pivot = rows[middle][0];
        std::ptrdiff_t i = first;
        std::ptrdiff_t j = last;
        do {
            while (rows[i][0] > pivot) ++i;
            while (rows[j][0] < pivot) --j;
            if (i <= j) {
                std::swap(rows[i], rows[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - first < last - i) {
            if (first < j) sortByDepth(rows, first, j);
            first = i;
        } else {
            if (i < last) sortByDepth(rows, i, last);
            last = j;
        }
    }
}

}  // namespace tesral
