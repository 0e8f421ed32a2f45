#include "physics/refinement_reflections.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <thread>

#include "physics/structure_factor.h"

namespace tesral::physics {
namespace {

/** Two lengths equal to this relative precision belong to one line. */
constexpr double kSameLength = 1e-9;
constexpr std::size_t kRowsForTwoThreads = 20000;

bool steurerAxial(const RunParameters& p) {
    return p.system != QuasicrystalSystem::Icosahedral &&
           p.convention != MatrixConvention::Yamamoto;
}

/** E^T v for the in-plane parts. */
std::array<double, 3> transposedTimes(const PhasonStrain& e, const std::array<double, 3>& v) {
    std::array<double, 3> out{};
    for (int r = 0; r < e.size; ++r)
        for (int k = 0; k < e.size; ++k) out[std::size_t(r)] += e.at(k, r) * v[std::size_t(k)];
    return out;
}

double dot(const std::array<double, 3>& x, const std::array<double, 3>& y) {
    return x[0] * y[0] + x[1] * y[1] + x[2] * y[2];
}

}  // namespace

double strainedPlane2(const std::array<double, 3>& par, const std::array<double, 3>& perp,
                      const PhasonStrain& delta) {
    const std::array<double, 3> shift = transposedTimes(delta, perp);
    double sum = 0.0;
    for (int r = 0; r < delta.size; ++r) {
        const double v = par[std::size_t(r)] - shift[std::size_t(r)];
        sum += v * v;
    }
    return sum;
}

RefinementReflections::RefinementReflections(const RunResult& run,
                                             const std::vector<std::size_t>& rows, bool lines,
                                             const std::vector<PhasonStrain>& strainDirections) {
    shell_.status = run.status;
    shell_.parameters = run.parameters;
    shell_.header = run.header;
    shell_.basis = run.basis;
    shell_.indexDimension = run.indexDimension;
    shell_.statistics = run.statistics;
    const int n = run.basis.n;
    runStrain_ = run.parameters.phasonStrain.value_or(PhasonStrain{});
    runStrain_.size = n == 6 ? 3 : 2;
    const bool strained = !strainDirections.empty();
    struct Kept {
        std::size_t row;
        double plane2, axis2, perp2;
        int absoluteSum;
        std::size_t slot;  // into the strain parts
    };
    // With strain directions, by the row's place in `rows`: the parts and the position terms.
    std::vector<std::array<double, 3>> keptPar, keptPerp;
    std::vector<std::vector<double>> positionKeys;
    std::vector<Kept> kept;
    kept.reserve(rows.size());
    for (const std::size_t r : rows) {
        const ReflectionRecord& row = run.table[r];
        double q[6] = {};
        int sum = 0;
        for (int j = 0; j < n; ++j) {
            const double h = row.h(j);
            sum += std::abs(static_cast<int>(h));
            for (int i = 0; i < n; ++i) q[i] += run.basis.inverse(i, j) * h;
        }
        Kept k{r, 0, 0, 0, sum, kept.size()};
        if (n == 5) {
            k.plane2 = q[0] * q[0] + q[1] * q[1];
            k.axis2 = q[4] * q[4];
            k.perp2 = q[2] * q[2] + q[3] * q[3];
        } else {
            k.plane2 = q[0] * q[0] + q[1] * q[1] + q[2] * q[2];
            k.perp2 = q[3] * q[3] + q[4] * q[4] + q[5] * q[5];
        }
        if (strained) {
            const int s = n == 6 ? 3 : 2;
            std::array<double, 3> par{}, perp{};
            for (int i = 0; i < s; ++i) {
                par[std::size_t(i)] = q[i];
                perp[std::size_t(i)] = q[s + i];
            }
            std::vector<double> key;
            // |par - D^T perp|^2 for D = sum x_a E_a: fixed by par.(E_a^T perp) and the
            // products of the E_a^T perp.
            std::vector<std::array<double, 3>> shifts;
            for (const PhasonStrain& e : strainDirections) {
                shifts.push_back(transposedTimes(e, perp));
                key.push_back(dot(par, shifts.back()));
            }
            for (std::size_t x = 0; x < shifts.size(); ++x)
                for (std::size_t y = x; y < shifts.size(); ++y)
                    key.push_back(dot(shifts[x], shifts[y]));
            keptPar.push_back(par);
            keptPerp.push_back(perp);
            positionKeys.push_back(std::move(key));
        }
        kept.push_back(k);
    }
    if (lines)
        std::stable_sort(kept.begin(), kept.end(), [](const Kept& x, const Kept& y) {
            return x.plane2 + x.axis2 < y.plane2 + y.axis2;
        });
    const bool icosahedral = n == 6;
    const double a6D = icosahedral ? labelConstant(run) : 0.0;
    const auto same = [](double x, double y) {
        return std::abs(x - y) <= kSameLength * std::max(std::abs(x), std::abs(y));
    };
    const auto sameKeys = [&](const Kept& x, const Kept& y) {
        if (!strained) return true;
        const std::vector<double>&kx = positionKeys[x.slot], &ky = positionKeys[y.slot];
        const double unit = x.plane2 + x.perp2;
        for (std::size_t t = 0; t < kx.size(); ++t)
            if (std::abs(kx[t] - ky[t]) > kSameLength * unit) return false;
        return true;
    };
    if (lines && strained) {
        // Within each line, the members whose position terms agree, one after another.
        std::vector<Kept> ordered;
        ordered.reserve(kept.size());
        for (std::size_t first = 0; first < kept.size();) {
            std::size_t last = first + 1;
            while (last < kept.size() && same(kept[last].plane2, kept[first].plane2) &&
                   same(kept[last].axis2, kept[first].axis2))
                ++last;
            std::vector<bool> taken(last - first, false);
            for (std::size_t i = first; i < last; ++i) {
                if (taken[i - first]) continue;
                for (std::size_t j = i; j < last; ++j)
                    if (!taken[j - first] && sameKeys(kept[i], kept[j])) {
                        taken[j - first] = true;
                        ordered.push_back(kept[j]);
                    }
            }
            first = last;
        }
        kept = std::move(ordered);
    }
    for (std::size_t first = 0; first < kept.size();) {
        std::size_t last = first + 1;
        if (lines)
            while (last < kept.size() && same(kept[last].plane2, kept[first].plane2) &&
                   same(kept[last].axis2, kept[first].axis2) && sameKeys(kept[last], kept[first]))
                ++last;
        ReflectionGroup g{first,
                          last,
                          kept[first].plane2,
                          kept[first].axis2,
                          std::sqrt(kept[first].perp2),
                          {},
                          std::nullopt,
                          {},
                          {}};
        std::size_t best = first;
        for (std::size_t k = first; k < last; ++k)
            if (kept[k].absoluteSum < kept[best].absoluteSum) best = k;
        for (int i = 0; i < n; ++i)
            g.indices[static_cast<std::size_t>(i)] =
                static_cast<int>(run.table[kept[best].row].h(i));
        if (icosahedral) g.label = icosahedralLabel(std::sqrt(g.plane2), g.hPerp, a6D);
        if (strained) {
            g.par = keptPar[kept[first].slot];
            g.perp = keptPerp[kept[first].slot];
        }
        groups_.push_back(g);
        first = last;
    }
    // Friedel's law: a line's -h counts through its h; the members kept are renumbered.
    using Key = std::array<int, 6>;
    const auto keyOf = [&](const Kept& k, int sign) {
        Key key{};
        for (int i = 0; i < n; ++i)
            key[std::size_t(i)] = sign * static_cast<int>(run.table[k.row].h(i));
        return key;
    };
    std::vector<std::pair<Key, std::size_t>> keys;
    std::size_t next = 0;
    for (ReflectionGroup& g : groups_) {
        keys.clear();
        for (std::size_t k = g.first; k < g.last; ++k) keys.emplace_back(keyOf(kept[k], 1), k);
        std::sort(keys.begin(), keys.end());
        const std::size_t first = next;
        for (std::size_t k = g.first; k < g.last; ++k) {
            const Key key = keyOf(kept[k], 1), mate = keyOf(kept[k], -1);
            const bool negative = mate > key;  // the first non-zero index is negative
            const bool paired =
                std::binary_search(keys.begin(), keys.end(), std::pair<Key, std::size_t>{mate, 0},
                                   [](const auto& x, const auto& y) { return x.first < y.first; });
            if (paired && negative) continue;
            rows_.push_back(run.table[kept[k].row]);
            plane2_.push_back(kept[k].plane2);
            axis2_.push_back(kept[k].axis2);
            weight_.push_back(paired ? 2.0 : 1.0);
            if (strained) {
                par_.push_back(keptPar[kept[k].slot]);
                perp_.push_back(keptPerp[kept[k].slot]);
            }
            ++next;
        }
        g.first = first;
        g.last = next;
    }
}

std::vector<double> RefinementReflections::groupIntensities(const StructureModel& model, double a,
                                                            double c,
                                                            const PhasonStrain* delta) const {
    // The run's numbers at a and c: the structure factor reads its basis (windows), qe and qi.
    RunResult at = shell_;
    const RunParameters& p0 = shell_.parameters;
    at.parameters.a = a;
    if (dimension() == 5) at.parameters.c = c;
    if (auto basis = buildLatticeBasis(p0.system, a, at.parameters.c, p0.convention)) {
        if (p0.phasonStrain) applyPhasonStrain(*basis, *p0.phasonStrain);
        at.basis = *basis;
    }
    const double aRatio2 = (p0.a / a) * (p0.a / a);
    const double cRatio2 = dimension() == 5 ? (p0.c / c) * (p0.c / c) : 1.0;
    // Extremes for the sampled ranges: a bound is enough.
    const auto grow = static_cast<float>(std::sqrt(std::max({1.0, aRatio2, cRatio2})) * 1.001);
    TableStatistics& t = at.statistics;
    for (float* v : {&t.minX, &t.maxX, &t.minY, &t.maxY, &t.minZ, &t.maxZ, &t.maxQi}) *v *= grow;
    const double qiScale = steurerAxial(p0) ? p0.a / a : 1.0;
    const StructureFactor factor(model, at);
    std::vector<double> out(groups_.size(), 0.0);
    const auto sum = [&](std::size_t from, std::size_t to) {
        ReflectionRecord row;
        for (std::size_t g = from; g < to; ++g) {
            double total = 0.0;
            for (std::size_t k = groups_[g].first; k < groups_[g].last; ++k) {
                row = rows_[k];
                const double plane2 =
                    delta && !par_.empty() ? strainedPlane2(par_[k], perp_[k], *delta) : plane2_[k];
                row.v[kQe] = static_cast<float>(std::sqrt(plane2 * aRatio2 + axis2_[k] * cRatio2));
                row.v[kQi] = static_cast<float>(row.v[kQi] * qiScale);
                total += weight_[k] * std::norm(factor(row));
            }
            out[g] = total;
        }
    };
    // Two halves of the rows on two threads when there are many.
    if (rows_.size() < kRowsForTwoThreads || groups_.size() < 2) {
        sum(0, groups_.size());
        return out;
    }
    std::size_t middle = 0;
    while (middle + 1 < groups_.size() && groups_[middle].last < rows_.size() / 2) ++middle;
    std::thread second(sum, middle, groups_.size());
    sum(0, middle);
    second.join();
    return out;
}

}  // namespace tesral::physics
