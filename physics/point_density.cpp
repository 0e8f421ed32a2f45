#include "physics/point_density.h"

#include <Eigen/LU>
#include <bit>
#include <cmath>

#include "physics/domain_transform.h"
#include "physics/exact_window.h"

namespace tesral::physics {

int latticePointsPerCell(Centring centring, int dimension) {
    switch (centring) {
        case Centring::Body:
            return 2;
        case Centring::Face:
            // The points of {0, 1/2}^n with an even number of halves.
            return 1 << (dimension - 1);
        case Centring::Primitive:
            break;
    }
    return 1;
}

std::vector<std::array<double, 6>> centringTranslations(Centring centring, int dimension) {
    std::vector<std::array<double, 6>> out;
    for (unsigned halves = 0; halves < (1u << dimension); ++halves) {
        const int count = std::popcount(halves);
        const bool kept = halves == 0 || (centring == Centring::Body && count == dimension) ||
                          (centring == Centring::Face && count % 2 == 0);
        if (!kept) continue;
        std::array<double, 6> t{};
        for (int i = 0; i < dimension; ++i) t[i] = halves & (1u << i) ? 0.5 : 0.0;
        out.push_back(t);
    }
    return out;
}

double pointDensity(const StructureModel& model, QuasicrystalSystem system,
                    const LatticeBasis& basis, Centring centring) {
    const int n = basis.n;
    Eigen::MatrixXd direct(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) direct(i, j) = basis.direct(i, j);
    const double cell = std::abs(direct.determinant()) / latticePointsPerCell(centring, n);
    double measure = 0.0;
    for (const Site& site : model.sites) {
        const double v = site.domain.shape == DomainShape::Window
                             ? exactWindow(system, basis, site.domain)->measure()
                             : roundDomainMeasure(site.domain);
        measure += site.occupancy * v;
    }
    return measure / cell;
}

}  // namespace tesral::physics
