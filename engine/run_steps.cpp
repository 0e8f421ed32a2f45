#include "engine/run_steps.h"

#include <cmath>

namespace tesral {

bool isMainReflection(const ReflectionRecord& row, int n) {
    int zeros = 0;
    int large = 0;
    for (int i = 0; i < n; ++i) {
        if (row.h(i) == 0.0f) ++zeros;
        if (std::fabs(row.h(i)) > 1.0f) ++large;
    }
    if (zeros == n - 1 && large == 0) return true;
    return n == 5 && row.h(4) == 0.0f && large == 0 && row.h(0) == row.h(1) &&
           row.h(1) == row.h(2) && row.h(2) == row.h(3);
}

}  // namespace tesral
