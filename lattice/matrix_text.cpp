#include "matrix_text.h"

#include "fixed_text.h"

namespace tesral {

std::string matrixToText(const Matrix& m, int rows, int cols) {
    std::string text;
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) text += alignRight(formatFixed(m(i, j), 4), 9);
        text += "\r\n";
    }
    return text;
}

std::string directMatrixText(const LatticeBasis& basis) {
    return matrixToText(basis.direct, basis.n, basis.n);
}

std::string inverseMatrixText(const LatticeBasis& basis) {
    return matrixToText(basis.inverse, basis.n, basis.n);
}

std::string usedMatricesText(const LatticeBasis& basis) {
    return std::string(kDirectMatrixHeading) + "\r\n" + directMatrixText(basis) +
           std::string(kInverseMatrixHeading) + "\r\n" + inverseMatrixText(basis);
}

}  // namespace tesral
