#include "phason_strain.h"

#include <charconv>

namespace tesral {
namespace {

struct Frames {
    int parallel[3];
    int perpendicular[3];
};

/** Rows of a projected vector: axial (par x, par y, perp x, perp y, par z). */
Frames framesOf(int n) {
    if (n == 5) return {{0, 1, -1}, {2, 3, -1}};
    return {{0, 1, 2}, {3, 4, 5}};
}

std::string shortest(double v) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return std::string(buffer, end);
}

}  // namespace

void applyPhasonStrain(LatticeBasis& basis, const PhasonStrain& strain) {
    const int n = basis.n;
    const int s = strain.size;
    const Frames f = framesOf(n);
    for (int j = 0; j < n; ++j) {
        double shift[3] = {};
        for (int r = 0; r < s; ++r)
            for (int k = 0; k < s; ++k)
                shift[r] += strain.at(k, r) * basis.inverse(f.perpendicular[k], j);
        for (int r = 0; r < s; ++r) basis.inverse(f.parallel[r], j) -= shift[r];
    }
}

std::string phasonStrainText(const PhasonStrain& strain) {
    std::string text = "phason strain M = [";
    for (int i = 0; i < strain.size; ++i) {
        text += i ? ", [" : "[";
        for (int j = 0; j < strain.size; ++j) {
            if (j) text += ", ";
            text += shortest(strain.at(i, j));
        }
        text += "]";
    }
    return text + "]";
}

}  // namespace tesral
