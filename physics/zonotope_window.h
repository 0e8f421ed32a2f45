#pragma once

#include <array>
#include <complex>
#include <memory>
#include <vector>

#include "physics/exact_window.h"

namespace tesral::physics {

/**
 * A centred zonotope {sum t_s g_s : -1/2 <= t_s <= 1/2} in two or three dimensions: the
 * octagon, decagon and dodecagon (zonogons of four, five and six generators) and the rhombic
 * triacontahedron (six). It is tiled by one parallelogram or parallelepiped per pair or triple of
 * generators, whose transform is its measure times a phase times one sinc per spanning
 * generator, so a transform costs one sine and cosine per generator.
 */
class ZonotopeWindow : public ExactWindow {
  public:
    /** `generators` holds `dimension` coordinates (angstrom) per generator; any d of them
     *  must be linearly independent. */
    ZonotopeWindow(int dimension, std::vector<double> generators);

    double measure() const override { return measure_; }
    std::complex<double> transform(const double* k) const override;
    /** The faces normal to g_s x g_t (edges normal to g_s in two dimensions), both sides. */
    std::optional<WindowPlanes> planes() const override;

    int dimension() const { return dimension_; }
    const std::vector<double>& generators() const { return generators_; }

    static constexpr int kMaxGenerators = 8;

  private:
    /** One tile: its spanning generators (bit set), the side of the rest, its share of the measure.
     */
    struct Tile {
        unsigned span = 0;
        unsigned positive = 0;  // the others: +g/2 (bit set) or -g/2 from the centre
        double weight = 0.0;
    };
    int dimension_;
    int count_;
    std::vector<double> generators_;
    std::vector<Tile> tiles_;
    double measure_ = 0.0;
};

}  // namespace tesral::physics
