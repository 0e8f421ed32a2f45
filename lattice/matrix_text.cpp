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

}  // namespace tesral
