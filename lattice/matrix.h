#pragma once

#include <span>
#include <vector>

namespace tesral {

/** A dense matrix of doubles, indexed from 0 as (row, column). */
class Matrix {
  public:
    Matrix() = default;
    Matrix(int rows, int cols)
        : rows_(rows), cols_(cols), values_(static_cast<size_t>(rows) * cols, 0.0) {}

    double& operator()(int i, int j) { return values_[static_cast<size_t>(i) * cols_ + j]; }
    double operator()(int i, int j) const { return values_[static_cast<size_t>(i) * cols_ + j]; }
    int rows() const { return rows_; }
    int cols() const { return cols_; }
    /** The values row by row. */
    double* data() { return values_.data(); }
    const double* data() const { return values_.data(); }

  private:
    int rows_ = 0;
    int cols_ = 0;
    std::vector<double> values_;
};

enum class InversionStatus {
    Ok,
    ZeroPivot,  // the matrix is singular; nothing was divided by zero
    NoPivot,    // the matrix holds NaN or an infinity
};

/**
 * Inversion by LU decomposition with partial pivoting, in place on the leading n x n block.
 * With solveRhs, b (at least n values) is replaced by the solution of A x = b.
 * On failure A and b are left as they were.
 */
InversionStatus invertMatrix(Matrix& a, int n, std::span<double> b, bool solveRhs);
inline InversionStatus invertMatrix(Matrix& a, int n) {
    return invertMatrix(a, n, {}, false);
}

/** Re-creates d as rows x cols and copies s into it. */
void copyMatrix(const Matrix& s, int rows, int cols, Matrix& d);
/** Re-creates d as rows x cols with d(i, j) = s(j, i). */
void transposeMatrix(const Matrix& s, int rows, int cols, Matrix& d);

}  // namespace tesral
