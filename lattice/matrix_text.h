#pragma once

#include <string>
#include <string_view>

#include "lattice_basis.h"
#include "matrix.h"

namespace tesral {

/** The leading rows x cols block, "##0.0000" in fields of 9, each line ended by CRLF. */
std::string matrixToText(const Matrix& m, int rows, int cols);

inline constexpr std::string_view kDirectMatrixHeading = "Direct Lattice Matrix";
inline constexpr std::string_view kInverseMatrixHeading = "Inverse Matrix";

/** The n x n text of the direct and of the inverse matrix of a basis. */
std::string directMatrixText(const LatticeBasis& basis);
std::string inverseMatrixText(const LatticeBasis& basis);

/** Both matrices, each below its heading line: what the used-matrices view shows. */
std::string usedMatricesText(const LatticeBasis& basis);

}  // namespace tesral
