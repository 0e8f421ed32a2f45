#include "physics/exact_window.h"

#include <Eigen/LU>
#include <bit>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "physics/polygon_window.h"
#include "physics/zonotope_window.h"

namespace tesral::physics {
namespace {

/** Perpendicular part of direct basis vector `row` (axial: components 2 and 3). */
Point2 perpendicular2(const LatticeBasis& basis, int row, double scale) {
    return {scale * basis.direct(row, 2), scale * basis.direct(row, 3)};
}

/** |det| of the in-plane 4 x 4 block of an axial direct basis. */
double planeCellArea(const LatticeBasis& basis) {
    Eigen::Matrix4d m;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) m(i, j) = basis.direct(i, j);
    return std::abs(m.determinant());
}

std::unique_ptr<ExactWindow> zonogon(const std::vector<Point2>& generators) {
    std::vector<double> flat;
    for (const Point2& g : generators) flat.insert(flat.end(), g.begin(), g.end());
    return std::make_unique<ZonotopeWindow>(2, std::move(flat));
}

/** The regular octagon: the zonogon of the four perpendicular parts, edge |d_perp|. */
std::unique_ptr<ExactWindow> octagon(const LatticeBasis& basis, double scale) {
    std::vector<Point2> generators;
    generators.reserve(4);
    for (int row = 0; row < 4; ++row) generators.push_back(perpendicular2(basis, row, scale));
    return zonogon(generators);
}

/**
 * Decagonal. The direct vectors are d_k = e_k - e_0 (k = 1..4) for the five star vectors e_i of
 * the Penrose tiling's hypercubic lattice seen along its body diagonal, so e_0 = -(d_1+..+d_4)/5
 * and the points m of Z^5 with m_0 + .. + m_4 = j project onto the translates of this lattice
 * through the fractions -(j/5)(1,1,1,1,0). The Penrose vertices of layer j are those whose
 * perpendicular part lies in the slice P_j of the projected unit cube: the hull of the sums of j
 * distinct e_i_perp. The occupation domain at the site is the point-reflected window, -P_j =
 * P_(5-j), so the site at (k/5)(1,1,1,1,0) carries P_k: k = 1 the small pentagon with corners
 * e_i_perp, k = 4 its inverse, k = 2 and 3 the large pentagons of circumradius tau |e_perp|, 2 the
 * one pointing away from e_0_perp. The decagon (k = 0) is the hull of the two large pentagons: the
 * zonogon of the five e_i_perp, edge |e_perp| (the projection of the whole unit 5-cube on the
 * plane).
 */
std::unique_ptr<ExactWindow> decagonal(const LatticeBasis& basis, double scale, int pentagon) {
    if (pentagon < 0 || pentagon > 4)
        throw std::invalid_argument("the decagonal window takes pentagon 0 to 4");
    Point2 e0{0.0, 0.0};
    for (int row = 0; row < 4; ++row) {
        const Point2 d = perpendicular2(basis, row, scale);
        e0 = {e0[0] - 0.2 * d[0], e0[1] - 0.2 * d[1]};
    }
    std::vector<Point2> star{e0};
    for (int row = 0; row < 4; ++row) {
        const Point2 d = perpendicular2(basis, row, scale);
        star.push_back({d[0] + e0[0], d[1] + e0[1]});
    }
    if (pentagon == 0) return zonogon(star);
    std::vector<Point2> sums;
    for (int subset = 0; subset < 32; ++subset) {
        if (std::popcount(static_cast<unsigned>(subset)) != pentagon) continue;
        Point2 s{0.0, 0.0};
        for (int i = 0; i < 5; ++i)
            if (subset & (1 << i)) s = {s[0] + star[i][0], s[1] + star[i][1]};
        sums.push_back(s);
    }
    return convexPolygonWindow(sums);
}

/**
 * Dodecagonal. The four direct vectors are star vectors of edge l (their parallel length), and
 * the projected cell is an irregular octagon, not a dodecagon. The window is the regular
 * dodecagon whose area gives the vertex density of the square-triangle tiling of edge l,
 * (2 + sqrt 3) / (2 sqrt 3 l^2): area = cell area * that density. Its corners point along the
 * perpendicular parts of the twelve star vectors (so its narrowest width lies across the
 * perpendicular parts of the shortest non-edge vectors, e_0 - e_30).
 */
std::unique_ptr<ExactWindow> dodecagon(const LatticeBasis& basis, double scale) {
    const double edge = std::hypot(basis.direct(0, 0), basis.direct(0, 1));
    const double density = (2.0 + std::sqrt(3.0)) / (2.0 * std::sqrt(3.0) * edge * edge);
    const double area = planeCellArea(basis) * density;
    const double circumradius = scale * std::sqrt(area / 3.0);  // a regular 12-gon has 3 r^2
    const double angle = std::atan2(basis.direct(0, 3), basis.direct(0, 2));
    // A regular 2n-gon is the zonogon of its first n edges.
    const std::vector<Point2> corners = regularPolygon(12, circumradius, angle);
    std::vector<Point2> edges;
    edges.reserve(6);
    for (int i = 0; i < 6; ++i)
        edges.push_back({corners[i + 1][0] - corners[i][0], corners[i + 1][1] - corners[i][1]});
    return zonogon(edges);
}

/** The rhombic triacontahedron: the zonohedron of the six perpendicular parts. */
std::unique_ptr<ExactWindow> triacontahedron(const LatticeBasis& basis, double scale) {
    std::vector<double> generators;
    for (int row = 0; row < 6; ++row)
        for (int c = 3; c < 6; ++c) generators.push_back(scale * basis.direct(row, c));
    return std::make_unique<ZonotopeWindow>(3, std::move(generators));
}

/** A window less its inner copy scaled by s_in/s about the same centre. */
class ShellWindow : public ExactWindow {
  public:
    ShellWindow(std::unique_ptr<ExactWindow> outer, std::unique_ptr<ExactWindow> inner)
        : outer_(std::move(outer)),
          inner_(std::move(inner)),
          measure_(outer_->measure() - inner_->measure()) {}
    double measure() const override { return measure_; }
    std::complex<double> transform(const double* k) const override {
        return (outer_->measure() * outer_->transform(k) -
                inner_->measure() * inner_->transform(k)) /
               measure_;
    }

  private:
    std::unique_ptr<ExactWindow> outer_, inner_;
    double measure_;
};

std::unique_ptr<ExactWindow> fullWindow(QuasicrystalSystem system, const LatticeBasis& basis,
                                        double scale, int pentagon) {
    switch (system) {
        case QuasicrystalSystem::Octagonal:
            return octagon(basis, scale);
        case QuasicrystalSystem::Decagonal:
            return decagonal(basis, scale, pentagon);
        case QuasicrystalSystem::Dodecagonal:
            return dodecagon(basis, scale);
        case QuasicrystalSystem::Icosahedral:
            return triacontahedron(basis, scale);
    }
    throw std::invalid_argument("unknown quasicrystal system");
}

}  // namespace

std::unique_ptr<ExactWindow> exactWindow(QuasicrystalSystem system, const LatticeBasis& basis,
                                         const OccupationDomain& domain) {
    const double scale = domain.scale, inner = domain.innerScale;
    if (!(scale > 0.0) || !std::isfinite(scale))
        throw std::invalid_argument("a window scale must be a positive number");
    if (!(inner >= 0.0 && inner < scale))
        throw std::invalid_argument("an inner window scale must lie in 0 .. the scale");
    std::unique_ptr<ExactWindow> outer = fullWindow(system, basis, scale, domain.pentagon);
    if (inner == 0.0) return outer;
    return std::make_unique<ShellWindow>(std::move(outer),
                                         fullWindow(system, basis, inner, domain.pentagon));
}

}  // namespace tesral::physics
