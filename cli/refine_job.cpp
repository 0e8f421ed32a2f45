#include "cli/refine_job.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "cli/model_options.h"
#include "cli/option_values.h"
#include "cli/output.h"
#include "cli/run_options.h"
#include "lattice/fixed_text.h"
#include "physics/model_file.h"
#include "report/safe_file.h"

namespace tesral::cli {
namespace {

std::string column(const char* pattern, const std::string& text) {
    char out[128];
    std::snprintf(out, sizeof out, pattern, text.c_str());
    return out;
}

/** A JSON number: never NaN or infinite (written as null). */
std::string jsonNumber(double v) {
    return std::isfinite(v) ? printedNumber("%.10g", v) : "null";
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x",
                          static_cast<unsigned>(static_cast<unsigned char>(c)));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string indicesJson(const physics::ObservationFit& o) {
    std::string s = "[";
    for (int i = 0; i < o.dimension; ++i)
        s += (i ? ", " : "") + std::to_string(o.indices[static_cast<std::size_t>(i)]);
    return s + "]";
}

bool patternKind(const RefineJob& job) {
    return job.data.kind != physics::ObservationKind::Intensities;
}

/** The refined values with a, c (axial) and zero (patterns, peak lists) always among them. */
std::vector<physics::RefinedValue> reportedValues(const RefineJob& job) {
    std::vector<physics::RefinedValue> values = job.fit.parameters;
    const auto has = [&](const std::string& name) {
        for (const physics::RefinedValue& v : values)
            if (v.name == name) return true;
        return false;
    };
    const bool axial = job.start.parameters.system != QuasicrystalSystem::Icosahedral;
    if (!has("a")) values.push_back({"a", job.start.parameters.a, job.fit.a, 0.0});
    if (axial && !has("c")) values.push_back({"c", job.start.parameters.c, job.fit.c, 0.0});
    if (patternKind(job) && !has("zero"))
        values.push_back({"zero", job.options.zero, job.fit.zero, 0.0});
    return values;
}

}  // namespace

KnownOptions refineOptions() {
    KnownOptions known;
    known.valued = runOptionNames();
    for (std::string& name : modelOptionNames()) known.valued.push_back(std::move(name));
    for (const char* name :
         {"measured", "vary", "two-theta", "caglioti", "eta", "background", "max-iterations",
          "output", "json", "plot", "monochromator", "zero", "tolerance", "size"})
        known.valued.emplace_back(name);
    known.flags = {"peaks"};
    return known;
}

RefineJob refineJobFrom(const Options& options) {
    for (const char* needed : {"model", "measured", "vary", "output"})
        if (!options.has(needed)) throw UsageError(std::string("--") + needed + " is needed");
    const std::string measured = options.value("measured");
    refuseOutputOnto(options, measured, "measured file");
    if (options.has("json") && options.value("json") == options.value("output"))
        throw UsageError("--json and --output name the same file");
    if (options.value("output") == "-") throw UsageError("--output takes a file for REFINED.toml");
    RefineJob job;
    physics::RefineOptions& o = job.options;
    o.vary = splitList(options.value("vary"));
    for (const std::string& name : o.vary)
        if (name.empty())
            throw UsageError("--vary takes a comma list of names, not " +
                             quoted(options.value("vary")));
    if (options.has("two-theta")) {
        const std::vector<double> v = numbers(options, "two-theta", ':', 3);
        if (!(v[0] < v[1])) throw UsageError("--two-theta A:B:S needs A below B");
        o.twoThetaRange = std::array<double, 2>{v[0], v[1]};
    }
    if (options.has("caglioti")) {
        const std::vector<double> v = numbers(options, "caglioti", ',', 3);
        o.shape.u = v[0];
        o.shape.v = v[1];
        o.shape.w = v[2];
    }
    o.shape.eta = value<double>(options, "eta", o.shape.eta, {0.0, 1.0}, "takes 0..1, not {}");
    o.backgroundTerms = value<int>(options, "background", o.backgroundTerms, {1, 20},
                                   "takes 1..20 Chebyshev terms, not {}");
    o.maxIterations = value<int>(options, "max-iterations", o.maxIterations, {1, 10000},
                                 "takes 1..10000, not {}");
    o.monochromator = value<double>(options, "monochromator", o.monochromator, {0.0, 179.0},
                                    "takes the monochromator's 2-theta, 0..179 degrees, not {}");
    o.zero = number(options, "zero", o.zero);
    o.tolerance = value<double>(options, "tolerance", o.tolerance, {.low = 0, .aboveLow = true},
                                "takes a positive number of degrees, not {}");

    const RunInputs inputs = runInputsFrom(options);
    job.start = calculationFor(inputs, modelFrom(options, inputs.system), maxRowsFrom(options));
    job.data = physics::readObservationsFile(measured, options.has("peaks"));
    if (!job.data.note.empty()) printNote(job.data.note);
    job.fit = physics::refineModel(job.start, job.data, o);
    if (!job.fit.ok()) throw std::runtime_error(job.fit.message);
    return job;
}

std::string refineTableText(const RefineJob& job) {
    const physics::ModelRefinement& fit = job.fit;
    std::string text = column("%-20s", "parameter") + column("%16s", "start") +
                       column("%16s", "refined") + column("%14s", "su") + "\n";
    for (const physics::RefinedValue& v : fit.parameters)
        text += column("%-20s", v.name) + printedNumber("%16.8g", v.start) +
                printedNumber("%16.8g", v.value) + printedNumber("%14.3g", v.su) + "\n";
    text += "\n";
    const physics::FiguresOfMerit& m = fit.merit;
    if (job.data.kind == physics::ObservationKind::Intensities)
        text += "R1 = " + printedNumber("%.4f", m.r1) + "  wR2 = " + printedNumber("%.4f", m.wr2) +
                "  GooF = " + printedNumber("%.3f", m.goof) + "\n";
    else
        text += "R_p = " + printedNumber("%.4f", m.rp) +
                "  R_wp = " + printedNumber("%.4f", m.rwp) +
                "  R_exp = " + printedNumber("%.4f", m.rexp) +
                "  chi2 = " + printedNumber("%.3f", m.chi2) + "\n";
    for (const physics::Correlation& c : fit.correlations)
        text += "correlation " + c.first + " / " + c.second + " = " +
                printedNumber("%.3f", c.value) + "\n";
    text += std::to_string(fit.iterations) + " iterations, " +
            (fit.converged ? "converged" : "not converged") + "\n";
    return text;
}

std::string refineJsonText(const RefineJob& job) {
    const physics::ModelRefinement& fit = job.fit;
    const physics::FiguresOfMerit& m = fit.merit;
    std::string j = "{\n";
    const auto field = [&j](const std::string& name, const std::string& value) {
        j += "  " + jsonString(name) + ": " + value + ",\n";
    };
    field("measured", jsonString(job.data.source));
    if (job.data.kind == physics::ObservationKind::Intensities) {
        field("r1", jsonNumber(m.r1));
        field("wr2", jsonNumber(m.wr2));
        field("goof", jsonNumber(m.goof));
    } else {
        field("r_p", jsonNumber(m.rp));
        field("r_wp", jsonNumber(m.rwp));
        field("r_exp", jsonNumber(m.rexp));
        field("chi2", jsonNumber(m.chi2));
    }
    std::string parameters = "{";
    bool first = true;
    for (const physics::RefinedValue& v : reportedValues(job)) {
        parameters += std::string(first ? "\n" : ",\n") + "    " + jsonString(v.name) +
                      ": {\"value\": " + jsonNumber(v.value) + ", \"su\": " + jsonNumber(v.su) +
                      ", \"start\": " + jsonNumber(v.start) + "}";
        first = false;
    }
    field("parameters", parameters + "\n  }");
    std::string correlations = "[";
    for (std::size_t i = 0; i < fit.correlations.size(); ++i) {
        const physics::Correlation& c = fit.correlations[i];
        correlations += std::string(i ? ",\n" : "\n") + "    {\"first\": " + jsonString(c.first) +
                        ", \"second\": " + jsonString(c.second) +
                        ", \"value\": " + jsonNumber(c.value) + "}";
    }
    field("correlations", correlations + (fit.correlations.empty() ? "]" : "\n  ]"));
    field("iterations", std::to_string(fit.iterations));
    field("converged", fit.converged ? "true" : "false");
    if (!fit.warning.empty()) field("warning", jsonString(fit.warning));
    if (!fit.observations.empty()) {
        std::string peaks = "[";
        const bool icosahedral = job.start.parameters.system == QuasicrystalSystem::Icosahedral;
        for (std::size_t i = 0; i < fit.observations.size(); ++i) {
            const physics::ObservationFit& o = fit.observations[i];
            peaks += std::string(i ? ",\n" : "\n") + "    {";
            if (job.data.kind == physics::ObservationKind::PeakList)
                peaks += "\"two_theta\": " + jsonNumber(o.twoTheta) + ", ";
            peaks += "\"d\": " + jsonNumber(o.d) + ", \"indices\": " + indicesJson(o);
            if (icosahedral)
                peaks += ", \"n_m\": " + (o.label ? jsonString(std::to_string(o.label->n) + "/" +
                                                               std::to_string(o.label->m))
                                                  : std::string("null"));
            peaks += ", \"intensity_obs\": " + jsonNumber(o.observed) +
                     ", \"intensity_calc\": " + jsonNumber(o.calculated) + "}";
        }
        field("peaks", peaks + "\n  ]");
    }
    j.erase(j.size() - 2);  // the last ",\n"
    return j + "\n}\n";
}

std::string refinedModelText(const RefineJob& job) {
    const physics::ModelRefinement& fit = job.fit;
    std::string head = "# Refined by tesral-cli refine against " + job.data.source +
                       "\n# a = " + printedNumber("%.8g", fit.a);
    if (job.start.parameters.system != QuasicrystalSystem::Icosahedral)
        head += ", c = " + printedNumber("%.8g", fit.c);
    if (patternKind(job)) head += ", zero = " + printedNumber("%.6g", fit.zero) + " degrees";
    head += job.data.kind == physics::ObservationKind::Intensities
                ? ", wR2 = " + printedNumber("%.4f", fit.merit.wr2)
                : ", R_wp = " + printedNumber("%.4f", fit.merit.rwp);
    return head + "\n\n" + physics::modelText(fit.model);
}

void writeRefineOutputs(const Options& options, const RefineJob& job) {
    if (!job.fit.warning.empty()) printNote(job.fit.warning);
    const auto save = [](const std::string& path, const std::string& bytes) {
        if (const auto error = writeFileSafely(path, bytes))
            throw std::runtime_error("cannot write " + quotedPath(path) + ": " + *error);
    };
    save(options.value("output"), refinedModelText(job));
    if (options.has("json")) save(options.value("json"), refineJsonText(job));
    if (const auto error = writeStandardOutputSafely(refineTableText(job)))
        throw std::runtime_error("cannot write to standard output: " + *error);
}

}  // namespace tesral::cli
