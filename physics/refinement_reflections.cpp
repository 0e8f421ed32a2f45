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

}  // namespace

RefinementReflections::RefinementReflections(const RunResult& run,
                                             const std::vector<std::size_t>& rows, bool lines) {
    shell_.status = run.status;
    shell_.parameters = run.parameters;
    shell_.header = run.header;
    shell_.basis = run.basis;
    shell_.indexDimension = run.indexDimension;
    shell_.statistics = run.statistics;
    const int n = run.basis.n;
    struct Kept {
        std::size_t row;
        double plane2, axis2, perp2;
        int absoluteSum;
    };
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
        Kept k{r, 0, 0, 0, sum};
        if (n == 5) {
            k.plane2 = q[0] * q[0] + q[1] * q[1];
            k.axis2 = q[4] * q[4];
            k.perp2 = q[2] * q[2] + q[3] * q[3];
        } else {
            k.plane2 = q[0] * q[0] + q[1] * q[1] + q[2] * q[2];
            k.perp2 = q[3] * q[3] + q[4] * q[4] + q[5] * q[5];
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
    for (std::size_t first = 0; first < kept.size();) {
        std::size_t last = first + 1;
        if (lines)
            while (last < kept.size() && same(kept[last].plane2, kept[first].plane2) &&
                   same(kept[last].axis2, kept[first].axis2))
                ++last;
        ReflectionGroup g{
            first, last,        kept[first].plane2, kept[first].axis2, std::sqrt(kept[first].perp2),
            {},    std::nullopt};
        std::size_t best = first;
        for (std::size_t k = first; k < last; ++k)
            if (kept[k].absoluteSum < kept[best].absoluteSum) best = k;
        for (int i = 0; i < n; ++i)
            g.indices[static_cast<std::size_t>(i)] =
                static_cast<int>(run.table[kept[best].row].h(i));
        if (icosahedral) g.label = icosahedralLabel(std::sqrt(g.plane2), g.hPerp, a6D);
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
            ++next;
        }
        g.first = first;
        g.last = next;
    }
}

std::vector<double> RefinementReflections::groupIntensities(const StructureModel& model, double a,
                                                            double c) const {
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
                row.v[kQe] =
                    static_cast<float>(std::sqrt(plane2_[k] * aRatio2 + axis2_[k] * cRatio2));
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
