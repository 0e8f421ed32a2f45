#include "matrix.h"

#include <cmath>
#include <utility>

namespace tesral {

InversionStatus invertMatrix(Matrix& a, int n, std::span<double> b, bool solveRhs) {
    std::vector<int> used(n, 0);
    std::vector<int> pivotRows(n, 0);
    std::vector<int> pivotCols(n, 0);
    int pRow = 0;
    int pCol = 0;

    for (int i = 0; i < n; ++i) {
        // Full pivot search; ">=" lets the last of equal magnitudes win.
        double big = 0.0;
        bool picked = false;
        for (int j = 0; j < n; ++j) {
            if (used[j] == 1) continue;
            for (int k = 0; k < n; ++k) {
                if (used[k] > 1) return InversionStatus::NoPivot;
                if (used[k] == 0 && std::fabs(a(j, k)) >= std::fabs(big)) {
                    big = a(j, k);
                    pRow = j;
                    pCol = k;
                    picked = true;
                }
            }
        }
        if (!picked) return InversionStatus::NoPivot;
        ++used[pCol];

        if (pRow != pCol) {
            for (int l = 0; l < n; ++l) std::swap(a(pRow, l), a(pCol, l));
            if (solveRhs) std::swap(b[pRow], b[pCol]);
        }
        pivotRows[i] = pRow;
        pivotCols[i] = pCol;

        const double p = a(pCol, pCol);
        if (p == 0.0) return InversionStatus::ZeroPivot;
        a(pCol, pCol) = 1.0;
        for (int l = 0; l < n; ++l) a(pCol, l) = a(pCol, l) / p;
        if (solveRhs) b[pCol] = b[pCol] / p;

        for (int r = 0; r < n; ++r) {
            if (r == pCol) continue;
            const double f = a(r, pCol);
            a(r, pCol) = 0.0;
            for (int l = 0; l < n; ++l) a(r, l) = a(r, l) - a(pCol, l) * f;
            if (solveRhs) b[r] = b[r] - b[pCol] * f;
        }
    }

    for (int i = n - 1; i >= 0; --i) {
        if (pivotRows[i] != pivotCols[i]) {
            for (int k = 0; k < n; ++k) std::swap(a(k, pivotRows[i]), a(k, pivotCols[i]));
        }
    }
    return InversionStatus::Ok;
}

void copyMatrix(const Matrix& s, int rows, int cols, Matrix& d) {
    d = Matrix(rows, cols);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) d(i, j) = s(i, j);
}

void transposeMatrix(const Matrix& s, int rows, int cols, Matrix& d) {
    d = Matrix(rows, cols);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) d(i, j) = s(j, i);
}

}  // namespace tesral
