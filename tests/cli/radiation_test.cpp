// One wavelength per run, whichever way a calculation is asked for: each radiation of the
// table against each way of asking for its head and its powder pattern.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cli/model_options.h"
#include "cli/options.h"
#include "cli/powder_job.h"
#include "cli/run_options.h"
#include "physics/calculation.h"
#include "physics/one_site_model.h"

using namespace tesral;

namespace {

/** One radiation and what every way must give for it. */
struct RadiationCase {
    const char* radiation;  // as --radiation takes it
    double wavelength;      // in use, angstrom
    const char* modelLine;
    const char* limitsLine;
    const char* refusal;  // the start of the powder pattern's refusal; empty: a pattern
};

const RadiationCase kRadiations[] = {
    {"xray", 1.5406, "model: Al window (1 site, X-rays, wavelength 1.5406 A)",
     "wavelength = 1.5406, thmin = 1.0, thmax = 30.0, qimax = 1.0", ""},
    {"electron:200", 0.0250793,
     "model: Al window (1 site, electrons 200 kV, wavelength 0.0250793 A)",
     "wavelength = 0.0250793, thmin = 1.0, thmax = 30.0, qimax = 1.0",
     "electrons make no powder pattern"},
    {"neutron:1.8", 1.8, "model: Al window (1 site, neutrons, wavelength 1.8 A)",
     "wavelength = 1.8, thmin = 1.0, thmax = 30.0, qimax = 1.0", ""},
};

/** The run every way is asked for: icosahedral i-AlCuFe with a typed X-ray wavelength. */
RunInputs icosahedralInputs() {
    RunInputs in;
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = 0;
    in.a = "4.46891";
    in.wavelength = "1.5406";
    return in;
}

const physics::TwoThetaGrid kGrid{20.0, 50.0, 0.02};

physics::Calculation calculationWith(const char* radiation) {
    std::string error;
    const RunInputs in = icosahedralInputs();
    auto c = physics::calculationFrom(
        in, physics::oneSiteModel(in.system, "window", "Al", radiation), error);
    EXPECT_TRUE(c) << error;
    return *c;
}

/** What a way answers: the head of the run, and the .xy pattern or why there is none. */
struct Answer {
    RunHeader header;
    double zoneWavelength = 0.0;  // of the zone section's run
    std::string xy;
    std::string refusal;
};

struct Way {
    const char* name;
    std::function<Answer(const RadiationCase&)> ask;
};

Answer throughCalculation(const RadiationCase& r) {
    const physics::Calculation c = calculationWith(r.radiation);
    EXPECT_DOUBLE_EQ(c.wavelength(), r.wavelength);
    Answer a;
    a.header = physics::prepare(c).header;
    a.zoneWavelength =
        physics::zone(c, {{0, 0, 0, 0, 0, 1}, 0.0, std::nullopt}).section.run.parameters.wavelength;
    physics::PowderRequest request;
    request.grid = kGrid;
    const physics::PowderResult p = physics::powder(c, request);
    a.refusal = p.message;
    if (p.ok()) {
        EXPECT_DOUBLE_EQ(p.lattice.wavelength, r.wavelength);
        a.xy = cli::powderXyText(p);
    }
    return a;
}

Answer throughCommandLine(const RadiationCase& r) {
    const std::vector<std::string> args = {
        "--system",    "icosahedral",  "--group-index", "0",         "--a",
        "4.46891",     "--wavelength", "1.5406",        "--domain",  "window",
        "--radiation", r.radiation,    "--two-theta",   "20:50:0.02"};
    Answer a;
    const cli::Options options(args, cli::powderOptions());
    const RunInputs in = cli::runInputsFrom(options);
    const physics::Calculation c =
        cli::calculationFor(in, cli::modelFrom(options, in.system), std::nullopt);
    a.header = physics::prepare(c).header;
    a.zoneWavelength =
        physics::zone(c, {{0, 0, 0, 0, 0, 1}, 0.0, std::nullopt}).section.run.parameters.wavelength;
    try {
        a.xy = cli::powderXyText(cli::powderJobFrom(options));
    } catch (const cli::UsageError& e) {
        a.refusal = e.what();
    }
    return a;
}

// The window's way joins this list.
const Way kWays[] = {{"calculation", throughCalculation}, {"command line", throughCommandLine}};

TEST(Radiation, EveryWayUsesTheRadiationsWavelengthAndNamesIt) {
    for (const RadiationCase& r : kRadiations) {
        std::string pattern;
        for (const Way& way : kWays) {
            SCOPED_TRACE(std::string(r.radiation) + " through the " + way.name);
            const Answer a = way.ask(r);
            EXPECT_EQ(a.header.modelText, r.modelLine);
            EXPECT_EQ(a.header.limitsText, r.limitsLine);
            EXPECT_DOUBLE_EQ(a.zoneWavelength, r.wavelength);
            EXPECT_EQ(a.refusal.rfind(r.refusal, 0), 0u) << a.refusal;
            EXPECT_EQ(a.refusal.empty(), *r.refusal == '\0');
            if (!a.refusal.empty()) continue;
            EXPECT_GT(a.xy.size(), 1000u);
            if (pattern.empty()) pattern = a.xy;
            EXPECT_TRUE(a.xy == pattern) << "the pattern differs from the first way's";
        }
    }
}

}  // namespace
