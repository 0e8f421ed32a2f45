#include "integer_kernel.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace tesral {
namespace {

constexpr std::int64_t kLargest = std::int64_t{1} << 62;

bool fits(std::int64_t v) {
    return v < kLargest && v > -kLargest;
}

/** column a -= factor * column b, in the forms' row and the basis; false on overflow. */
bool subtractColumn(std::array<std::int64_t, 6>& row0, std::array<std::int64_t, 6>& row1,
                    SplitBasis& basis, int a, int b, std::int64_t factor) {
    std::int64_t product = 0;
    const auto update = [&](std::int64_t& into, std::int64_t from) {
        if (__builtin_mul_overflow(factor, from, &product)) return false;
        if (__builtin_sub_overflow(into, product, &into)) return false;
        return fits(into);
    };
    if (!update(row0[static_cast<std::size_t>(a)], row0[static_cast<std::size_t>(b)]) ||
        !update(row1[static_cast<std::size_t>(a)], row1[static_cast<std::size_t>(b)]))
        return false;
    for (int i = 0; i < basis.n; ++i)
        if (!update(basis.column[static_cast<std::size_t>(a)][static_cast<std::size_t>(i)],
                    basis.column[static_cast<std::size_t>(b)][static_cast<std::size_t>(i)]))
            return false;
    return true;
}

void swapColumns(std::array<std::int64_t, 6>& row0, std::array<std::int64_t, 6>& row1,
                 SplitBasis& basis, int a, int b) {
    std::swap(row0[static_cast<std::size_t>(a)], row0[static_cast<std::size_t>(b)]);
    std::swap(row1[static_cast<std::size_t>(a)], row1[static_cast<std::size_t>(b)]);
    std::swap(basis.column[static_cast<std::size_t>(a)], basis.column[static_cast<std::size_t>(b)]);
}

}  // namespace

std::optional<SplitBasis> splitByForms(const std::array<std::int64_t, 6>& first,
                                       const std::array<std::int64_t, 6>& second, int n) {
    SplitBasis basis;
    basis.n = n;
    for (int c = 0; c < n; ++c)
        basis.column[static_cast<std::size_t>(c)][static_cast<std::size_t>(c)] = 1;
    std::array<std::int64_t, 6> rows[2] = {first, second};
    int pivot = 0;
    for (int r = 0; r < 2 && pivot < n; ++r) {
        std::array<std::int64_t, 6>& row = rows[r];
        // Euclid on the entries of this row right of the pivot until one is left.
        for (;;) {
            int smallest = -1;
            for (int c = pivot; c < n; ++c)
                if (row[static_cast<std::size_t>(c)] != 0 &&
                    (smallest < 0 || std::llabs(row[static_cast<std::size_t>(c)]) <
                                         std::llabs(row[static_cast<std::size_t>(smallest)])))
                    smallest = c;
            if (smallest < 0) break;  // the row is already zero here
            swapColumns(rows[0], rows[1], basis, pivot, smallest);
            bool others = false;
            for (int c = pivot + 1; c < n; ++c) {
                const std::int64_t q =
                    row[static_cast<std::size_t>(c)] / row[static_cast<std::size_t>(pivot)];
                if (q != 0 && !subtractColumn(rows[0], rows[1], basis, c, pivot, q))
                    return std::nullopt;
                others = others || row[static_cast<std::size_t>(c)] != 0;
            }
            if (!others) {
                ++pivot;
                break;
            }
        }
    }
    basis.rank = pivot;
    return basis;
}

bool reduceColumns(SplitBasis& basis, int from, const double gram[6][6]) {
    const int n = basis.n;
    const int m = n - from;
    if (m <= 1) return true;
    const auto col = [&](int k) -> std::array<std::int64_t, 6>& {
        return basis.column[static_cast<std::size_t>(from + k)];
    };
    const auto product = [&](int a, int b) {
        double s = 0.0;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                s += static_cast<double>(col(a)[static_cast<std::size_t>(i)]) * gram[i][j] *
                     static_cast<double>(col(b)[static_cast<std::size_t>(j)]);
        return s;
    };
    double mu[6][6] = {}, norm[6] = {};
    const auto gramSchmidt = [&] {
        for (int i = 0; i < m; ++i) {
            for (int j = 0; j < i; ++j) {
                double s = product(i, j);
                for (int k = 0; k < j; ++k) s -= mu[j][k] * mu[i][k] * norm[k];
                mu[i][j] = s / norm[j];
            }
            double s = product(i, i);
            for (int k = 0; k < i; ++k) s -= mu[i][k] * mu[i][k] * norm[k];
            norm[i] = s;
        }
    };
    gramSchmidt();
    int k = 1;
    for (int guard = 0; k < m && guard < 10000; ++guard) {
        for (int j = k - 1; j >= 0; --j) {
            const double q = std::nearbyint(mu[k][j]);
            if (q == 0.0) continue;
            if (!(std::fabs(q) < 1e15)) return false;
            const auto f = static_cast<std::int64_t>(q);
            for (int i = 0; i < n; ++i) {
                std::int64_t t = 0;
                auto& into = col(k)[static_cast<std::size_t>(i)];
                if (__builtin_mul_overflow(f, col(j)[static_cast<std::size_t>(i)], &t) ||
                    __builtin_sub_overflow(into, t, &into) || !fits(into))
                    return false;
            }
            gramSchmidt();
        }
        if (norm[k] >= (0.75 - mu[k][k - 1] * mu[k][k - 1]) * norm[k - 1]) {
            ++k;
        } else {
            std::swap(col(k), col(k - 1));
            gramSchmidt();
            k = k > 1 ? k - 1 : 1;
        }
    }
    return true;
}

}  // namespace tesral
