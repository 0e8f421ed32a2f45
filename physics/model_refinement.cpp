#include "physics/model_refinement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>

#include "physics/intensity.h"
#include "physics/least_squares.h"
#include "physics/refinement_target.h"

namespace tesral::physics {
namespace {

/** Lines this far (degrees of 2-theta) beyond the observations still reach into them. */
constexpr double kLineMargin = 2.0;

std::string shown(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

std::string fixed3(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", v);
    return text;
}

/** Why a parameter has no meaning for this kind of data; empty when it has. */
std::string unusedProblem(const ParameterRef& ref, ObservationKind kind) {
    if (kind == ObservationKind::Pattern) return {};
    const bool profile = ref.quantity == RefinedQuantity::U || ref.quantity == RefinedQuantity::V ||
                         ref.quantity == RefinedQuantity::W ||
                         ref.quantity == RefinedQuantity::Eta ||
                         ref.quantity == RefinedQuantity::Background;
    const std::string what =
        kind == ObservationKind::PeakList ? "a peak list's intensities" : "integrated intensities";
    if (profile) return ref.name + ": " + what + " have no profile or background to refine";
    if (ref.onStrain())
        return ref.name + ": " + what +
               " do not fix the phason strain, which moves the lines (refine it from a whole "
               "pattern)";
    if (ref.onLattice() || ref.quantity == RefinedQuantity::Zero)
        return ref.name + ": " + what +
               " do not fix the lattice constants or the zero shift (tesral-cli index refines "
               "them from peak positions)";
    return {};
}

/** The reflections of a run for single-crystal intensities: the theta and qi windows, whole. */
RunResult intensityRun(const Calculation& start, const Watch& watch, std::string& problem) {
    Calculation c = start;
    c.parameters.wavelength = c.wavelength();
    problem = widenToWholeOrbits(c.parameters);
    if (!problem.empty()) return {};
    const PreparedRun prepared = prepare(c);
    if (!prepared.ready()) {
        problem = prepared.message;
        return {};
    }
    RunJobOptions job;
    job.points = false;
    job.stop = watch.stop;
    RunOutcome outcome = run(c, prepared, std::move(job));
    if (outcome.result.status != RunStatus::Completed)
        problem =
            outcome.result.message.empty() ? "The run was cancelled." : outcome.result.message;
    return std::move(outcome.result);
}

using IndexKey = std::array<int, 6>;

IndexKey keyOf(const ReflectionRecord& row, int n) {
    IndexKey k{};
    for (int i = 0; i < n; ++i) k[std::size_t(i)] = static_cast<int>(std::lround(row.h(i)));
    return k;
}

/** The 10th percentile of the observations: a start for a flat background. */
double lowLevel(const Eigen::VectorXd& y) {
    std::vector<double> v(y.data(), y.data() + y.size());
    if (v.empty()) return 0.0;
    const auto at = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 10);
    std::nth_element(v.begin(), at, v.end());
    return *at;
}

}  // namespace

ModelRefinement refineModel(const Calculation& start, const Observations& data,
                            const RefineOptions& options, const Watch& watch,
                            const std::function<void(int iteration, double r)>& onIteration) {
    ModelRefinement out;
    const auto fail = [&out](std::string message) {
        out.message = std::move(message);
        return out;
    };
    if (!start.model) return fail("a refinement needs a model to start from");
    const QuasicrystalSystem system = start.parameters.system;
    if (std::string p = modelProblem(*start.model, system); !p.empty()) return fail(p);
    if (options.backgroundTerms < 1 || options.backgroundTerms > 20)
        return fail("the background takes 1 to 20 Chebyshev terms");
    std::string error;
    std::vector<ParameterRef> refs =
        parameterRefs(options.vary, *start.model, system, start.parameters.convention,
                      options.backgroundTerms, error);
    if (!error.empty()) return fail(error);
    if (refs.empty()) return fail("no parameter to refine");
    for (const ParameterRef& ref : refs)
        if (std::string p = unusedProblem(ref, data.kind); !p.empty()) return fail(p);

    RefinementState state;
    state.model = *start.model;
    state.a = start.parameters.a;
    state.c = start.parameters.c;
    state.zero = data.kind == ObservationKind::Intensities ? 0.0 : options.zero;
    state.shape = options.shape;
    // The run's strain, as prepare takes it: its own, else the model's.
    state.strain = start.parameters.phasonStrain ? *start.parameters.phasonStrain
                   : start.model->phasonStrain   ? *start.model->phasonStrain
                                                 : PhasonStrain{};
    state.strain.size = phasonStrainSize(system);
    std::vector<PhasonStrain> strainDirections;
    for (const ParameterRef& ref : refs) {
        if (ref.quantity == RefinedQuantity::Phason) strainDirections.push_back(ref.map);
        if (ref.quantity != RefinedQuantity::PhasonElement) continue;
        PhasonStrain unit;
        unit.size = state.strain.size;
        unit.values[static_cast<std::size_t>(ref.term)] = 1.0;
        strainDirections.push_back(unit);
    }
    const bool withBackground = std::any_of(refs.begin(), refs.end(), [](const ParameterRef& r) {
        return r.quantity == RefinedQuantity::Background;
    });
    const double wavelength = start.wavelength();

    // The observations fitted, and the reflections they need, taken once.
    FittedData fitted;
    fitted.kind = data.kind;
    std::shared_ptr<const RefinementReflections> reflections;
    LpSettings lp;
    std::vector<std::size_t> observationIndex;  // into data's lists
    if (data.kind == ObservationKind::Intensities) {
        std::string problem;
        const RunResult run = intensityRun(start, watch, problem);
        if (!problem.empty()) return fail(problem);
        std::map<IndexKey, std::size_t> rowOf;
        const int n = run.basis.n;
        for (std::size_t r = 0; r < run.table.size(); ++r) rowOf.emplace(keyOf(run.table[r], n), r);
        std::vector<std::size_t> rows;
        std::vector<double> yo, sw;
        for (std::size_t k = 0; k < data.reflections.size(); ++k) {
            const IntensityObservation& o = data.reflections[k];
            if (o.dimension != n)
                return fail(data.source + ":" + std::to_string(o.line) + ": " +
                            std::to_string(o.dimension) +
                            " indices, but the run's reflections have " + std::to_string(n));
            const auto it = rowOf.find(o.indices);
            if (it == rowOf.end()) continue;
            rows.push_back(it->second);
            yo.push_back(o.intensity);
            sw.push_back(1.0 / o.sigma);
            observationIndex.push_back(k);
        }
        if (rows.empty())
            return fail("no reflection of " + data.source +
                        " lies in the run's theta and qi windows");
        reflections = std::make_shared<RefinementReflections>(run, rows, false);
        fitted.observed = Eigen::Map<Eigen::VectorXd>(yo.data(), Eigen::Index(yo.size()));
        fitted.sqrtWeight = Eigen::Map<Eigen::VectorXd>(sw.data(), Eigen::Index(sw.size()));
    } else {
        try {
            lp = lpSettingsFor(start.radiation(), options.monochromator);
        } catch (const std::invalid_argument& e) {
            return fail(e.what());
        }
        double low = 180.0, high = 0.0;
        const double top =
            data.value.empty() ? 1.0 : *std::max_element(data.value.begin(), data.value.end());
        std::vector<double> yo, sw;
        for (std::size_t i = 0; i < data.twoTheta.size(); ++i) {
            const double t = data.twoTheta[i];
            if (options.twoThetaRange &&
                (t < (*options.twoThetaRange)[0] || t > (*options.twoThetaRange)[1]))
                continue;
            fitted.x.push_back(t);
            yo.push_back(data.value[i]);
            // Counts without a sigma column: sigma^2 = y, never below a small floor.
            const double floor = data.kind == ObservationKind::Pattern ? 1.0 : 1e-3 * top;
            sw.push_back(data.sigma.empty() ? 1.0 / std::sqrt(std::max(data.value[i], floor))
                                            : 1.0 / data.sigma[i]);
            observationIndex.push_back(i);
            low = std::min(low, t);
            high = std::max(high, t);
        }
        if (fitted.x.empty()) return fail("no observation lies in the 2-theta range");
        fitted.low = low;
        fitted.high = high > low ? high : low + 1.0;
        fitted.observed = Eigen::Map<Eigen::VectorXd>(yo.data(), Eigen::Index(yo.size()));
        fitted.sqrtWeight = Eigen::Map<Eigen::VectorXd>(sw.data(), Eigen::Index(sw.size()));
        PowderRequest request;
        request.grid = {std::max(0.0, low - kLineMargin), std::min(180.0, high + kLineMargin),
                        std::max(1e-3, (high - low) / 1000.0)};
        request.span = {request.grid.start, request.grid.stop};
        request.shape = options.shape;
        request.monochromator = options.monochromator;
        request.profile = false;
        const PowderResult pattern = powder(start, request, watch);
        if (!pattern.ok()) return fail(pattern.message);
        std::vector<std::size_t> rows(pattern.run.table.size());
        for (std::size_t r = 0; r < rows.size(); ++r) rows[r] = r;
        reflections =
            std::make_shared<RefinementReflections>(pattern.run, rows, true, strainDirections);
        if (reflections->groups().empty())
            return fail("no calculated line lies in the measured 2-theta range");
    }
    if (fitted.observed.size() <= static_cast<Eigen::Index>(refs.size()))
        return fail(std::to_string(fitted.observed.size()) + " observations for " +
                    std::to_string(refs.size()) + " parameters; a refinement needs more");

    state.background.assign(static_cast<std::size_t>(options.backgroundTerms), 0.0);
    if (withBackground && data.kind == ObservationKind::Pattern)
        state.background[0] = lowLevel(fitted.observed);
    state.scale = 1.0;
    std::unique_ptr<RefinementTarget> target;
    try {
        target = std::make_unique<RefinementTarget>(reflections, fitted, refs, state, wavelength,
                                                    lp, options.tolerance);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    if (data.kind == ObservationKind::PeakList) {
        const auto members = target->peakMembers(state);
        if (std::none_of(members.begin(), members.end(), [](const auto& m) { return !m.empty(); }))
            return fail("no observed peak lies within " + shown(options.tolerance) +
                        " degrees of a calculated line");
    }
    // The best scale for the start: linear least squares with the rest held.
    {
        Eigen::VectorXd unit, background;
        if (!target->predict(state, target->data().x, unit, &background))
            return fail("the Caglioti U, V, W give no positive width in the 2-theta range");
        if (data.kind == ObservationKind::Pattern) unit -= background;
        const Eigen::VectorXd w = fitted.sqrtWeight.cwiseAbs2();
        const Eigen::VectorXd net = data.kind == ObservationKind::Pattern
                                        ? Eigen::VectorXd(fitted.observed - background)
                                        : fitted.observed;
        const double denominator = (w.array() * unit.array().square()).sum();
        if (denominator > 0.0)
            state.scale = (w.array() * unit.array() * net.array()).sum() / denominator;
        if (!(std::isfinite(state.scale) && state.scale > 0.0)) state.scale = 1.0;
        target->setStartScale(state.scale);
    }

    const double weighted2 = fitted.sqrtWeight.cwiseProduct(fitted.observed).squaredNorm();
    const auto rFactor = [&](double chi2) {
        return weighted2 > 0.0 ? std::sqrt(chi2 / weighted2) : 0.0;
    };
    Eigen::VectorXd values = target->valuesOf(state);
    const Eigen::VectorXd startValues = values;
    DampedSettings settings;
    settings.maxIterations = options.maxIterations;
    const auto stopped = [&watch] { return watch.stop && watch.stop->load(); };
    int earlier = 0;  // iterations of an earlier fit, so that the count goes on
    const auto heard = [&](int iteration, double chi2) {
        if (onIteration) onIteration(earlier + iteration, rFactor(chi2));
    };
    DampedFit fit;
    try {
        fit = levenbergMarquardt(*target, values, settings, stopped, heard);
        // A powder pattern barely tells a strain from its negative (the orbits' members shift
        // both ways): the mirrored strain is fitted too and the better kept.
        if (!strainDirections.empty() && !fit.cancelled) {
            Eigen::VectorXd mirrored = values;
            for (std::size_t j = 0; j < refs.size(); ++j)
                if (refs[j].onStrain()) mirrored(Eigen::Index(j)) = -mirrored(Eigen::Index(j));
            const int before = fit.iterations;
            earlier = before;
            DampedFit other = levenbergMarquardt(*target, mirrored, settings, stopped, heard);
            other.iterations += before;
            if (other.chi2 < fit.chi2) {
                fit = std::move(other);
                values = mirrored;
            } else {
                fit.iterations = other.iterations;
                fit.cancelled = other.cancelled;
            }
        }
    } catch (const std::exception& e) {
        return fail(e.what());
    }

    // The results at the values left.
    const RefinementState best = target->stateOf(values);
    const auto n = static_cast<Eigen::Index>(refs.size());
    const auto count = fitted.observed.size();
    Eigen::VectorXd r;
    target->residuals(values, r);
    const double chi2Sum = r.squaredNorm();
    const double reduced = count > n ? chi2Sum / static_cast<double>(count - n) : 0.0;
    out.converged = fit.converged;
    out.cancelled = fit.cancelled;
    out.iterations = fit.iterations;
    if (fit.cancelled) out.warning = "cancelled; the values are the last good ones";
    if (!fit.undetermined.empty()) {
        std::string names;
        const auto nameOf = [&refs](int j) { return refs[std::size_t(j)].name; };
        for (const auto& [pair, cosine] : fit.correlated)
            names += (names.empty() ? "" : ", ") + nameOf(pair.first) + " and " +
                     nameOf(pair.second) + " (correlation " + fixed3(cosine) + ")";
        if (names.empty())
            for (const int j : fit.undetermined) names += (names.empty() ? "" : ", ") + nameOf(j);
        out.warning = "the data cannot fix " + names + "; stopped with the last good values";
    }
    const Eigen::MatrixXd& inverse = fit.normalInverse;
    for (Eigen::Index j = 0; j < n; ++j) {
        RefinedValue v{refs[std::size_t(j)].name, startValues(j), values(j), 0.0};
        if (inverse.size() > 0 && inverse(j, j) > 0.0) v.su = std::sqrt(reduced * inverse(j, j));
        out.parameters.push_back(v);
    }
    if (inverse.size() > 0)
        for (Eigen::Index i = 0; i < n; ++i)
            for (Eigen::Index j = i + 1; j < n; ++j) {
                const double d = std::sqrt(inverse(i, i) * inverse(j, j));
                const double rho = d > 0.0 ? inverse(i, j) / d : 0.0;
                if (std::abs(rho) > 0.9)
                    out.correlations.push_back(
                        {refs[std::size_t(i)].name, refs[std::size_t(j)].name, rho});
            }
    out.model = best.model;
    if (!strainDirections.empty()) out.model.phasonStrain = best.strain;
    out.a = best.a;
    out.c = best.c;
    out.zero = best.zero;
    out.scale = best.scale;
    out.shape = best.shape;
    out.background = best.background;

    Eigen::VectorXd calculated;
    FiguresOfMerit& m = out.merit;
    const double dof = static_cast<double>(std::max<Eigen::Index>(count - n, 1));
    if (data.kind == ObservationKind::Pattern) {
        Eigen::VectorXd all, background;
        target->predict(best, data.twoTheta, all, &background);
        out.calculated.assign(all.data(), all.data() + all.size());
        out.backgroundCurve.assign(background.data(), background.data() + background.size());
        target->predict(best, fitted.x, calculated);
    } else {
        target->predict(best, fitted.x, calculated);
    }
    const Eigen::VectorXd difference = fitted.observed - calculated;
    const double sumObserved = fitted.observed.cwiseAbs().sum();
    m.rp = sumObserved > 0.0 ? difference.cwiseAbs().sum() / sumObserved : 0.0;
    m.rwp = rFactor(chi2Sum);
    m.rexp = weighted2 > 0.0 ? std::sqrt(dof / weighted2) : 0.0;
    m.chi2 = chi2Sum / dof;
    if (data.kind != ObservationKind::Pattern) {
        double fo = 0.0, delta = 0.0;
        for (Eigen::Index k = 0; k < count; ++k) {
            const double o = std::sqrt(std::max(fitted.observed(k), 0.0));
            fo += o;
            delta += std::abs(o - std::sqrt(std::max(calculated(k), 0.0)));
        }
        m.r1 = fo > 0.0 ? delta / fo : 0.0;
        m.wr2 = m.rwp;
        m.goof = std::sqrt(chi2Sum / dof);
    }

    // One entry per observation for peak and intensity lists.
    const std::vector<ReflectionGroup>& groups = reflections->groups();
    if (data.kind == ObservationKind::Intensities) {
        for (std::size_t k = 0; k < groups.size(); ++k) {
            const IntensityObservation& o = data.reflections[observationIndex[k]];
            ObservationFit f;
            f.d = target->dOf(groups[k], best);
            f.indices = o.indices;
            f.dimension = o.dimension;
            f.label = groups[k].label;
            f.observed = o.intensity;
            f.sigma = o.sigma;
            f.calculated = calculated(Eigen::Index(k));
            out.observations.push_back(f);
        }
    } else if (data.kind == ObservationKind::PeakList) {
        const std::vector<double> intensity = target->groupIntensities(best);
        const auto members = target->peakMembers(best);
        for (std::size_t k = 0; k < members.size(); ++k) {
            ObservationFit f;
            f.twoTheta = fitted.x[k];
            f.observed = fitted.observed(Eigen::Index(k));
            f.sigma = 1.0 / fitted.sqrtWeight(Eigen::Index(k));
            f.calculated = calculated(Eigen::Index(k));
            f.dimension = reflections->dimension();
            // Named by the strongest of its lines.
            std::size_t strongest = groups.size();
            for (const std::size_t g : members[k])
                if (strongest == groups.size() || intensity[g] > intensity[strongest])
                    strongest = g;
            if (strongest < groups.size()) {
                f.d = target->dOf(groups[strongest], best);
                f.indices = groups[strongest].indices;
                f.label = groups[strongest].label;
            }
            out.observations.push_back(f);
        }
    }
    return out;
}

}  // namespace tesral::physics
