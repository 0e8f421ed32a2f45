#pragma once

#include <string>

#include "matrix.h"

namespace tesral {

/** The leading rows x cols block, "##0.0000" in fields of 9, each line ended by CRLF. */
std::string matrixToText(const Matrix& m, int rows, int cols);

}  // namespace tesral
