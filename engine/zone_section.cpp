#include "zone_section.h"

#include <Eigen/Geometry>
#include <algorithm>
#include <cmath>
#include <numeric>

#include "engine/index_region.h"
#include "engine/integer_kernel.h"
#include "engine/run_steps.h"
#include "engine/table_extremes.h"

namespace tesral {
namespace {

// Widening of the walk's ellipsoid and slab: candidates are tested exactly afterwards, so
// a generous margin only costs a few extra evaluations.
constexpr double kRadiusMargin = 1e-6;
constexpr double kRangeSlack = 1e-7;
/** Of H|| . u-hat (1/angstrom): the slab's walk is widened by it, the slab itself is not. */
constexpr double kSlabMargin = 1e-6;
/**
 * Of H||' . u-hat (1/angstrom): under a phason strain the integer forms no longer decide the
 * plane, so a vector is in it when its strained offset is this small (rounding is ~1e-15).
 */
constexpr double kStrainedPlaneTolerance = 1e-9;

using Vector3 = Eigen::Vector3d;

Vector3 vectorOf(const std::array<double, 3>& a) {
    return {a[0], a[1], a[2]};
}
std::array<double, 3> arrayOf(const Vector3& v) {
    return {v.x(), v.y(), v.z()};
}

/** The parallel part (x, y, z) of a projected vector. */
Vector3 parallelOf(const double q[6], int n) {
    return {q[0], q[1], n == 5 ? q[4] : q[2]};
}

/** A positive definite form in index space and a bound every accepted vector keeps. */
struct Ellipsoid {
    bool empty = false;
    double form[6][6] = {};
    double radius2 = 0.0;
};

Ellipsoid runEllipsoid(const GeometryContext& g, const std::array<int, 6>& limits) {
    Ellipsoid e;
    const IndexRegion r = boundIndexRegion(g, limits);
    const int n = g.n;
    if (r.kind == IndexRegion::Kind::Empty) {
        e.empty = true;
        return e;
    }
    if (r.kind == IndexRegion::Kind::Box) {
        // The ball around the box.
        for (int i = 0; i < n; ++i) e.form[i][i] = 1.0 / ((limits[i] + 0.5) * (limits[i] + 0.5));
        e.radius2 = n;
        return e;
    }
    // The region is sum_k scale_k (h_k + sum_{j<k} coupling_kj h_j)^2: L^T diag(scale) L.
    for (int k = 0; k < n; ++k) {
        double row[6] = {};
        for (int j = 0; j < k; ++j) row[j] = r.coupling[k][j];
        row[k] = 1.0;
        for (int i = 0; i <= k; ++i)
            for (int j = 0; j <= k; ++j) e.form[i][j] += r.scale[k] * row[i] * row[j];
    }
    double slack = 0.0;
    for (int k = 0; k < n; ++k) slack = std::max(slack, r.energySlack[k]);
    e.radius2 = (r.radius2 + slack) * (1.0 + kRadiusMargin);
    return e;
}

/** One accepted vector found by the walk. */
struct Found {
    int h[6] = {};
    Evaluation e;
    double offset = 0.0;
    bool nearZone = false;
};

/**
 * A walk over the integer combinations of a few columns inside an ellipsoid (the
 * Fincke-Pohst enumeration): without a slab the section's own reduced columns, so every
 * vector is a member; with one a reduced basis of all vectors, against a form that also
 * bounds the offset from the plane, members told apart exactly by the zone's forms.
 */
struct SectionWalk {
    const GeometryContext& g;
    const std::array<int, 6>& limits;
    int n = 5;       // indices of a vector
    int levels = 0;  // walked coordinates
    std::array<std::array<std::int64_t, 6>, 6> columns{};
    Vector3 axis;
    double slab = 0.0;
    /** Set with a slab: decides which vectors lie in the plane itself. */
    const ZoneForms* forms = nullptr;
    /** Under a phason strain: the plane is decided by the strained offset instead. */
    bool strained = false;
    double scale[6] = {};
    double coupling[6][6] = {};
    double radius2 = 0.0;
    std::vector<Found> found;
    bool invalid = false;
    const std::atomic<bool>* stop = nullptr;
    bool cancelled = false;

    long long x[6] = {};

    SectionWalk(const GeometryContext& geometry, const std::array<int, 6>& loopLimits,
                const Vector3& direction)
        : g(geometry), limits(loopLimits), n(geometry.n), axis(direction) {}

    /** The form on the walked coordinates, completed to squares from the last one. */
    bool factorise(const double form[6][6]) {
        long double q[6][6] = {};
        for (int a = 0; a < levels; ++a)
            for (int b = 0; b < levels; ++b)
                for (int i = 0; i < n; ++i)
                    for (int j = 0; j < n; ++j)
                        q[a][b] += static_cast<long double>(columns[a][i]) * form[i][j] *
                                   static_cast<long double>(columns[b][j]);
        for (int k = levels - 1; k >= 0; --k) {
            const long double pivot = q[k][k];
            if (!(pivot > 0.0L) || !std::isfinite(static_cast<double>(pivot))) return false;
            scale[k] = static_cast<double>(pivot);
            for (int j = 0; j < k; ++j) coupling[k][j] = static_cast<double>(q[k][j] / pivot);
            for (int i = 0; i < k; ++i)
                for (int j = 0; j < k; ++j) q[i][j] -= q[i][k] * q[k][j] / pivot;
        }
        return true;
    }

    void walk(int k, double energy, const std::int64_t* partial) {
        if (k >= levels || k >= 6) {
            leaf(partial);
            return;
        }
        double centre = 0.0;
        for (int j = 0; j < k; ++j) centre += coupling[k][j] * static_cast<double>(x[j]);
        const double rest = radius2 - energy;
        if (!(rest >= 0.0)) return;
        const double half = std::sqrt(rest / scale[k]) * (1.0 + kRangeSlack) + kRangeSlack;
        const double top = std::floor(half - centre);
        const double bottom = std::ceil(-half - centre);
        std::int64_t next[6];
        const auto& column = columns[static_cast<std::size_t>(k)];
        for (double v = top; v >= bottom; v -= 1.0) {
            // Asked between the outer coordinates' steps: often enough, and no cost per leaf.
            if (cancelled || (k < 2 && stop && stop->load(std::memory_order_relaxed))) {
                cancelled = true;
                return;
            }
            const auto value = static_cast<long long>(v);
            x[k] = value;
            for (int i = 0; i < n; ++i)
                next[i] = partial[i] + value * column[static_cast<std::size_t>(i)];
            const double t = v + centre;
            walk(k + 1, energy + scale[k] * t * t, next);
        }
    }

    void leaf(const std::int64_t* h64) {
        Found f;
        bool origin = true;
        for (int i = 0; i < n; ++i) {
            if (h64[i] > limits[static_cast<std::size_t>(i)] ||
                h64[i] < -limits[static_cast<std::size_t>(i)])
                return;
            f.h[i] = static_cast<int>(h64[i]);
            origin = origin && f.h[i] == 0;
        }
        if (origin) return;
        double q[6] = {};
        for (int i = 0; i < n; ++i) {
            double sum = 0.0;
            for (int j = 0; j < n; ++j) sum = sum + f.h[j] * g.inverse[i][j];
            q[i] = sum;
        }
        const double offset = parallelOf(q, n).dot(axis);
        const bool member = strained ? std::fabs(offset) <= kStrainedPlaneTolerance
                                     : !forms || inZone(*forms, f.h, n);
        if (!member) {
            f.offset = offset;
            if (!(std::fabs(f.offset) <= slab)) return;
            f.nearZone = true;
        }
        f.e = evaluateProjection(q, g);
        if (!f.e.finite) {
            invalid = true;
            return;
        }
        if (f.e.accepted) found.push_back(f);
    }
};

/** True when a comes before b in a run: h1 outermost, each index descending. */
bool runOrder(const Found& a, const Found& b) {
    for (int i = 0; i < 6; ++i)
        if (a.h[i] != b.h[i]) return a.h[i] > b.h[i];
    return false;
}

/** False when the reference has no part in the plane. */
bool choosePlane(ZoneSection& out, const std::vector<Found>& rows, const GeometryContext& g,
                 const std::optional<AxisIndices>& reference) {
    const Vector3 axis = vectorOf(out.axis);
    const Found* shortest = nullptr;
    for (const Found& f : rows)
        if (!f.nearZone && (!shortest || f.e.qe < shortest->e.qe)) shortest = &f;
    Vector3 x = Vector3::Zero();
    if (reference) {
        double q[6] = {};
        for (int i = 0; i < g.n; ++i)
            for (int j = 0; j < g.n; ++j)
                q[i] += g.inverse[i][j] *
                        static_cast<double>((*reference)[static_cast<std::size_t>(j)]);
        x = parallelOf(q, g.n);
        const double along = x.dot(axis);
        const double length2 = x.squaredNorm();
        if (!(length2 - along * along > 1e-12 * length2)) return false;
    } else if (shortest) {
        x = Vector3(shortest->e.x, shortest->e.y, shortest->e.z);
    } else {
        // The coordinate direction farthest from the axis.
        int c = 0;
        for (int i = 1; i < 3; ++i)
            if (std::fabs(axis[static_cast<std::size_t>(i)]) <
                std::fabs(axis[static_cast<std::size_t>(c)]))
                c = i;
        x(c) = 1.0;
    }
    x -= x.dot(axis) * axis;
    const Vector3 planeX = x.normalized();
    out.planeX = arrayOf(planeX);
    out.planeY = arrayOf(axis.cross(planeX));
    return true;
}

}  // namespace

ZoneSection computeZoneSection(const PreparedRun& run, const ZoneRequest& request) {
    ZoneSection out;
    out.run = resultWithoutRows(run);
    if (!run.ready()) return out;
    RunResult& result = out.run;
    const RunParameters& p = result.parameters;
    const int n = run.indexDimension;
    const GeometryContext g(result.basis, p);
    const ExtinctionRules rules(run.group, n);

    out.axis = arrayOf(vectorOf(axisParallelPart(result.basis, request.axis)).normalized());
    const ZoneForms forms = zoneForms(p.system, request.axis);
    auto split = splitByForms(forms.rational, forms.irrational, n);
    const Ellipsoid ellipsoid = runEllipsoid(g, p.loopLimit);
    if (split && !ellipsoid.empty && !reduceColumns(*split, split->rank, ellipsoid.form))
        split.reset();
    if (!split) {
        result.message = kAxisTooLargeMessage;
        return out;
    }
    out.rank = n - split->rank;

    std::vector<Found> rows;
    if (!ellipsoid.empty) {
        SectionWalk walk(g, p.loopLimit, vectorOf(out.axis));
        double form[6][6] = {};
        const bool strained = p.phasonStrain.has_value();
        if (request.slab > 0.0 || strained) {
            // The slab as a second bound: (offset / slab)^2 <= 1 beside the run's ellipsoid
            // (normalised to 1), so both hold inside the sum <= 2. A strained section walks
            // every vector this way, the plane alone being a slab of width zero.
            walk.slab = std::max(request.slab, 0.0);
            walk.forms = &forms;
            walk.strained = strained;
            double along[6] = {};  // offset per unit of each index
            for (int j = 0; j < n; ++j) {
                double q[6] = {};
                for (int i = 0; i < n; ++i) q[i] = g.inverse[i][j];
                along[j] = parallelOf(q, n).dot(vectorOf(out.axis));
            }
            const double reach = request.slab * (1.0 + kRangeSlack) + kSlabMargin;
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j)
                    form[i][j] = ellipsoid.form[i][j] / ellipsoid.radius2 +
                                 along[i] * along[j] / (reach * reach);
            walk.radius2 = 2.0 * (1.0 + kRadiusMargin);
            SplitBasis all;
            all.n = n;
            for (int c = 0; c < n; ++c)
                all.column[static_cast<std::size_t>(c)][static_cast<std::size_t>(c)] = 1;
            if (!reduceColumns(all, 0, form)) {
                result.message = kAxisTooLargeMessage;
                return out;
            }
            walk.levels = n;
            for (int c = 0; c < n; ++c) walk.columns[c] = all.column[c];
        } else {
            // Only the section's own, reduced, columns: well conditioned for any axis.
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) form[i][j] = ellipsoid.form[i][j];
            walk.radius2 = ellipsoid.radius2;
            walk.levels = n - split->rank;
            for (int c = 0; c < walk.levels; ++c)
                walk.columns[c] = split->column[static_cast<std::size_t>(c + split->rank)];
        }
        if (!walk.factorise(form)) {
            result.message = kAxisTooLargeMessage;
            return out;
        }
        const std::int64_t zero[6] = {};
        walk.stop = request.stop;
        walk.walk(0, 0.0, zero);
        if (walk.cancelled) {
            result.status = RunStatus::Cancelled;
            result.message = kSectionCancelledMessage;
            return out;
        }
        if (walk.invalid) {
            result.message = kInvalidNumberMessage;
            return out;
        }
        rows = std::move(walk.found);
    }
    std::sort(rows.begin(), rows.end(), runOrder);

    TableStatistics stats;
    stats.maxZeroLayerX = 0.0f;
    stats.maxTheta = 0.0f;
    stats.maxQi = 0.0f;
    stats.minPositiveQi = 10.0f;
    BlockExtremes extremes;
    const RunContext ctx{result.basis, g, rules, n, p.loopLimit, result.totalLoops};
    std::vector<Found> kept;
    kept.reserve(rows.size());
    result.table.reserve(rows.size());
    for (const Found& f : rows) {
        ReflectionRecord row;
        if (!keepReflection(f.h, f.e, ctx, row)) continue;
        row.isMainSpot = isMainReflection(row, n);
        extremes.offer(row, n);
        result.table.push_back(row);
        kept.push_back(f);
    }
    extremes.widen(stats);
    result.statistics = stats;

    if (!choosePlane(out, kept, g, request.reference)) {
        result.message = kReferenceAlongAxisMessage;
        result.status = RunStatus::Failed;
        result.table.clear();
        return out;
    }
    out.spots.reserve(kept.size());
    const Vector3 planeX = vectorOf(out.planeX), planeY = vectorOf(out.planeY);
    for (const Found& f : kept) {
        const Vector3 h{f.e.x, f.e.y, f.e.z};
        out.spots.push_back({h.dot(planeX), h.dot(planeY), f.offset, f.nearZone});
    }
    result.status = RunStatus::Completed;
    return out;
}

}  // namespace tesral
