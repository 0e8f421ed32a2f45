#include "matrix.h"

#include <Eigen/LU>

namespace tesral {
namespace {

using RowMajorMatrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;
using Block = Eigen::Map<RowMajorMatrix, Eigen::Unaligned, Eigen::OuterStride<>>;

}  // namespace

InversionStatus invertMatrix(Matrix& a, int n, std::span<double> b, bool solveRhs) {
    Block block(a.data(), n, n, Eigen::OuterStride<>(a.cols()));
    if (!block.allFinite()) return InversionStatus::NoPivot;
    // Partial pivoting: a zero on U's diagonal is a column with no usable pivot, which
    // Eigen records without dividing by it.
    const Eigen::PartialPivLU<Eigen::MatrixXd> lu(block);
    if ((lu.matrixLU().diagonal().array() == 0.0).any()) return InversionStatus::ZeroPivot;
    if (solveRhs) {
        Eigen::Map<Eigen::VectorXd> rhs(b.data(), n);
        rhs = lu.solve(Eigen::VectorXd(rhs));
    }
    block = lu.inverse();
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
