#include "physics/real_space_structure.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <stdexcept>

#include "physics/domain_region.h"
#include "physics/point_density.h"

namespace tesral::physics {
namespace {

constexpr int kMaxIndices = 6;

/** The walk's ellipsoid in units of its radii; a little more than 2 holds the rounding. */
constexpr double kEllipsoid2 = 2.0 + 1e-6;
/** Index units added to each end of the innermost interval, for the rounding of its roots. */
constexpr double kRootSlack = 1e-7;

/** Which components of a projected vector are parallel and which perpendicular. */
struct Frame {
    int n = 6;
    int parallel[3] = {0, 1, 2};
    int perpendicular[3] = {3, 4, 5};
    int perpendicularCount = 3;
};

Frame frameOf(QuasicrystalSystem system) {
    Frame f;
    if (system == QuasicrystalSystem::Icosahedral) return f;
    f.n = 5;
    f.parallel[2] = 4;
    f.perpendicular[0] = 2;
    f.perpendicular[1] = 3;
    f.perpendicularCount = 2;
    return f;
}

/**
 * The quadratic form |y D-par|^2 / R^2 + |y D-perp|^2 / rho^2 of the fractions y, as
 * sum over k of scale[k] (z_k + sum over j < k of coupling[k][j] z_j)^2: completed square by
 * square from the last index, so that index k's range given the outer ones is exact.
 */
struct Ellipsoid {
    double scale[kMaxIndices] = {};
    double coupling[kMaxIndices][kMaxIndices] = {};
};

Ellipsoid ellipsoidOf(const LatticeBasis& basis, const Frame& f, double radius, double rho) {
    const int n = f.n;
    double a[kMaxIndices][kMaxIndices] = {};
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double par = 0.0, perp = 0.0;
            for (int c = 0; c < 3; ++c)
                par += basis.direct(i, f.parallel[c]) * basis.direct(j, f.parallel[c]);
            for (int c = 0; c < f.perpendicularCount; ++c)
                perp += basis.direct(i, f.perpendicular[c]) * basis.direct(j, f.perpendicular[c]);
            a[i][j] = par / (radius * radius) + perp / (rho * rho);
        }
    Ellipsoid e;
    for (int k = n - 1; k >= 0; --k) {
        e.scale[k] = a[k][k];
        for (int j = 0; j < k; ++j) e.coupling[k][j] = a[k][j] / a[k][k];
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < k; ++j) a[i][j] -= e.scale[k] * e.coupling[k][i] * e.coupling[k][j];
    }
    return e;
}

/** One site seen from one lattice point of the cell. */
struct SiteWalk {
    int site = 0;
    const DomainRegion* region = nullptr;
    const Ellipsoid* ellipsoid = nullptr;
    /** r_k + t, fractions. */
    double offset[kMaxIndices] = {};
    /** The offset less the fractions of the phason shift: z = n + shifted. */
    double shifted[kMaxIndices] = {};
    double rho2 = 0.0;
};

/** One piece of work: a site walk with its outermost index fixed. */
struct Item {
    int walk = 0;
    int first = 0;
};

class Walker {
  public:
    Walker(const LatticeBasis& basis, const Frame& frame, const PatchRequest& request,
           const SiteWalk& walk, std::vector<StructureAtom>& out)
        : basis_(basis), f_(frame), request_(request), walk_(walk), out_(out) {}

    void run(int first) {
        std::fill(std::begin(x_[0]), std::end(x_[0]), 0.0);
        fix(0, first);
        // Levels 1 .. last - 1 as a loop (the innermost one cut exactly), each over its range.
        const int last = std::min(f_.n, kMaxIndices) - 1;
        int value[kMaxIndices] = {}, top[kMaxIndices] = {};
        int k = 1;
        bool entering = true;
        while (k >= 1) {
            if (entering) {
                if (k == last) {
                    innermost(last);
                    --k;
                    entering = false;
                    continue;
                }
                range(k, value[k], top[k]);
                --value[k];
            }
            if (++value[k] > top[k]) {
                --k;
                entering = false;
                continue;
            }
            fix(k, value[k]);
            ++k;
            entering = true;
        }
    }

  private:
    void fix(int k, int value) {
        const double y = value + walk_.offset[k];
        z_[k] = value + walk_.shifted[k];
        for (int c = 0; c < f_.n; ++c) x_[k + 1][c] = x_[k][c] + y * basis_.direct(k, c);
        double t = z_[k];
        for (int j = 0; j < k; ++j) t += walk_.ellipsoid->coupling[k][j] * z_[j];
        energy_[k + 1] = energy_[k] + walk_.ellipsoid->scale[k] * t * t;
    }

    /** Index k's values in the ellipsoid given the outer ones; lo > hi when none. */
    void range(int k, int& lo, int& hi) const {
        const Ellipsoid& e = *walk_.ellipsoid;
        double centre = 0.0;
        for (int j = 0; j < k; ++j) centre -= e.coupling[k][j] * z_[j];
        const double rest = kEllipsoid2 - energy_[k];
        lo = 1;
        hi = 0;
        if (rest < 0.0) return;
        const double half = std::sqrt(rest / e.scale[k]);
        lo = static_cast<int>(std::ceil(centre - half - walk_.shifted[k]));
        hi = static_cast<int>(std::floor(centre + half - walk_.shifted[k]));
    }

    /**
     * The last index t moves the point along its direct vector d: x = X + t d. The part of
     * the line in the parallel ball and in the domain's bounding ball is an interval each.
     */
    void innermost(int k) {
        const double* base = x_[k];
        double lo = -HUGE_VAL, hi = HUGE_VAL;
        const auto cut = [&lo, &hi](double a, double b, double c) {
            // a t^2 + 2 b t + c <= 0
            if (a <= 0.0) {
                if (c > 0.0) hi = -HUGE_VAL;
                return;
            }
            const double d = b * b - a * c;
            if (d < 0.0) {
                hi = -HUGE_VAL;
                return;
            }
            const double root = std::sqrt(d);
            lo = std::max(lo, (-b - root) / a);
            hi = std::min(hi, (-b + root) / a);
        };
        double a = 0.0, b = 0.0, c = -request_.radius * request_.radius;
        for (int i = 0; i < 3; ++i) {
            const double d = basis_.direct(k, f_.parallel[i]);
            const double x = base[f_.parallel[i]] - request_.centre[i];
            a += d * d;
            b += x * d;
            c += x * x;
        }
        cut(a, b, c);
        a = 0.0, b = 0.0, c = -walk_.rho2;
        for (int i = 0; i < f_.perpendicularCount; ++i) {
            const double d = basis_.direct(k, f_.perpendicular[i]);
            const double x = base[f_.perpendicular[i]] - request_.phasonShift[i];
            a += d * d;
            b += x * d;
            c += x * x;
        }
        cut(a, b, c);
        if (!(lo <= hi)) return;
        const double offset = walk_.offset[k];
        const int first = static_cast<int>(std::ceil(lo - kRootSlack - offset));
        const int last = static_cast<int>(std::floor(hi + kRootSlack - offset));
        const double r2 = request_.radius * request_.radius;
        for (int v = first; v <= last; ++v) {
            const double t = v + offset;
            double x[kMaxIndices];
            for (int i = 0; i < f_.n; ++i) x[i] = base[i] + t * basis_.direct(k, i);
            StructureAtom atom;
            double p2 = 0.0;
            for (int i = 0; i < 3; ++i) {
                atom.position[i] = x[f_.parallel[i]];
                p2 += (atom.position[i] - request_.centre[i]) *
                      (atom.position[i] - request_.centre[i]);
            }
            if (p2 > r2) continue;
            double perp[3];
            // Where the cut meets the domain attached at the point: the shift less x-perp.
            for (int i = 0; i < f_.perpendicularCount; ++i)
                perp[i] = request_.phasonShift[i] - x[f_.perpendicular[i]];
            if (!walk_.region->contains(perp)) continue;
            atom.site = walk_.site;
            out_.push_back(atom);
        }
    }

    const LatticeBasis& basis_;
    const Frame& f_;
    const PatchRequest& request_;
    const SiteWalk& walk_;
    std::vector<StructureAtom>& out_;
    double z_[kMaxIndices] = {};
    double energy_[kMaxIndices + 1] = {};
    /** x_[k]: the projected vector of the indices fixed before level k. */
    double x_[kMaxIndices + 1][kMaxIndices] = {};
};

/** The lattice with the strain's perpendicular parts d-perp + M d-par, and its inverse. */
LatticeBasis strainedLattice(const LatticeBasis& basis, const Frame& f, const PhasonStrain& m) {
    LatticeBasis strained = basis;
    for (int i = 0; i < f.n; ++i)
        for (int r = 0; r < m.size; ++r) {
            double shift = 0.0;
            for (int k = 0; k < m.size; ++k) shift += m.at(r, k) * basis.direct(i, f.parallel[k]);
            strained.direct(i, f.perpendicular[r]) += shift;
        }
    applyPhasonStrain(strained, m);
    return strained;
}

}  // namespace

std::vector<StructureAtom> structurePatch(const StructureModel& model, QuasicrystalSystem system,
                                          const LatticeBasis& basis, Centring centring,
                                          const PatchRequest& request) {
    const Frame f = frameOf(system);
    if (basis.n != f.n) throw std::invalid_argument("the basis does not belong to the system");
    if (!(request.radius > 0.0) || !std::isfinite(request.radius))
        throw std::invalid_argument("the radius of a patch must be a positive number");
    if (request.phasonStrain && request.phasonStrain->size != f.perpendicularCount)
        throw std::invalid_argument("the phason strain does not belong to the system");
    // The domains keep the unstrained lattice's shape; the walk goes over the strained one.
    const LatticeBasis& domainBasis = basis;
    const LatticeBasis walkBasis =
        request.phasonStrain ? strainedLattice(basis, f, *request.phasonStrain) : basis;
    // The fractions of the walk's centre: the vector (c, phi) times the inverse basis.
    double centre[kMaxIndices] = {};
    for (int i = 0; i < f.n; ++i) {
        for (int c = 0; c < 3; ++c)
            centre[i] += request.centre[c] * walkBasis.inverse(f.parallel[c], i);
        for (int c = 0; c < f.perpendicularCount; ++c)
            centre[i] += request.phasonShift[c] * walkBasis.inverse(f.perpendicular[c], i);
    }

    std::vector<std::unique_ptr<DomainRegion>> regions;
    std::vector<Ellipsoid> ellipsoids;
    regions.reserve(model.sites.size());
    ellipsoids.reserve(model.sites.size());
    for (const Site& site : model.sites) {
        if (static_cast<int>(site.position.size()) != f.n)
            throw std::invalid_argument("a site's position needs " + std::to_string(f.n) +
                                        " fractions");
        regions.push_back(std::make_unique<DomainRegion>(system, domainBasis, site.domain));
        ellipsoids.push_back(
            ellipsoidOf(walkBasis, f, request.radius, regions.back()->outerRadius()));
    }

    std::vector<SiteWalk> walks;
    std::vector<Item> items;
    const auto translations = centringTranslations(centring, f.n);
    for (std::size_t s = 0; s < model.sites.size(); ++s) {
        if (model.sites[s].occupancy <= 0.0) continue;
        for (const auto& t : translations) {
            SiteWalk w;
            w.site = static_cast<int>(s);
            w.region = regions[s].get();
            w.ellipsoid = &ellipsoids[s];
            w.rho2 = regions[s]->outerRadius() * regions[s]->outerRadius();
            for (int i = 0; i < f.n; ++i) {
                w.offset[i] = model.sites[s].position[static_cast<std::size_t>(i)] + t[i];
                w.shifted[i] = w.offset[i] - centre[i];
            }
            const double half = std::sqrt(kEllipsoid2 / ellipsoids[s].scale[0]);
            const int lo = static_cast<int>(std::ceil(-half - w.shifted[0]));
            const int hi = static_cast<int>(std::floor(half - w.shifted[0]));
            for (int v = lo; v <= hi; ++v) items.push_back({static_cast<int>(walks.size()), v});
            walks.push_back(w);
        }
    }

    std::vector<std::vector<StructureAtom>> pieces(items.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < items.size();) {
            if (request.stop && request.stop->load(std::memory_order_relaxed)) return;
            Walker walker(walkBasis, f, request, walks[static_cast<std::size_t>(items[i].walk)],
                          pieces[i]);
            walker.run(items[i].first);
        }
    };
    std::atomic<bool> stop{false};
    runWorkers(work, {}, {}, stop, false, std::max(1u, request.workers));

    std::size_t total = 0;
    for (const auto& p : pieces) total += p.size();
    std::vector<StructureAtom> atoms;
    atoms.reserve(total);
    for (auto& p : pieces) {
        atoms.insert(atoms.end(), p.begin(), p.end());
        std::vector<StructureAtom>().swap(p);
    }
    return atoms;
}

}  // namespace tesral::physics
