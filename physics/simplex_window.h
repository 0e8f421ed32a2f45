#pragma once

#include <array>
#include <complex>
#include <vector>

#include "physics/exact_window.h"

namespace tesral::physics {

/**
 * The mean of exp(i (t0 x0 + ... + tn xn)) over the simplex t >= 0, t0 + ... + tn = 1, for
 * `count` = n + 1 <= 4 real phases x. It is (n! / i^n) times the divided difference of exp(iz)
 * at the x, evaluated without cancellation for any x, equal ones included; 1 when all are 0.
 */
std::complex<double> simplexMean(const double* x, int count);

/**
 * A convex window cut into simplices that share its centre of mass, the origin, as apex:
 * triangles (two dimensions) or tetrahedra (three). Each simplex is its other vertices, indices
 * into the window's vertex list.
 */
class SimplexWindow : public ExactWindow {
  public:
    struct Simplex {
        std::array<int, 3> vertex{};  // the last is unused in two dimensions
        double weight = 0.0;          // the simplex's share of the measure
    };
    static constexpr int kMaxVertices = 64;

    /** `vertices` holds `dimension` coordinates per vertex, angstrom. */
    SimplexWindow(int dimension, std::vector<double> vertices, std::vector<Simplex> simplices,
                  double measure);

    double measure() const override { return measure_; }
    std::complex<double> transform(const double* k) const override;
    /** The simplices' faces away from the origin: the window is convex. */
    std::optional<WindowPlanes> planes() const override;

    int dimension() const { return dimension_; }
    const std::vector<double>& vertices() const { return vertices_; }
    const std::vector<Simplex>& simplices() const { return simplices_; }

  private:
    int dimension_;
    std::vector<double> vertices_;
    std::vector<Simplex> simplices_;
    double measure_;
};

}  // namespace tesral::physics
