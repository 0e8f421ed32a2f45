// The fit of measured zone-axis patterns: spot lists made from a section with a known
// placement, spots missing, jitter and false spots, fitted back.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "physics/calculation.h"
#include "physics/one_site_model.h"
#include "physics/pattern_fit.h"
#include "physics/pattern_geometry.h"
#include "physics/spot_finder.h"
#include "synthetic_pattern.h"

using namespace tesral;
using namespace tesral::physics;

namespace {

struct Case {
    const char* name;
    QuasicrystalSystem system;
    const char* axis;
    /** The pattern's rotational symmetry: the rotation is known modulo 360 / order. */
    int order;
    /** The F-centred icosahedral lattice, whose rings repeat exactly by tau. */
    bool faceCentred = false;
    double scale = 310.0;  // pixels per 1/angstrom
    /** Spots found on a photograph, else listed with jitter and false ones. */
    bool photograph = true;
};

Calculation electronRun(QuasicrystalSystem system, bool faceCentred) {
    RunInputs in;
    in.system = system;
    if (system == QuasicrystalSystem::Icosahedral) {
        in.groupPosition = faceCentred ? 9 : 6;  // Fm-3-5, Pm-3-5
        in.a = faceCentred ? "8.9378" : "4.56084";
        in.loopLimits.fill("12");
    } else {
        in.loopLimits = {"6", "6", "6", "6", "0", "0"};
    }
    // A zone section from the direct beam out to 1.2 degrees: 200 kV electrons.
    in.thetaMin = std::string(1, '0');
    in.thetaMax = "1.2";
    in.qiMax = "1.5";
    std::string error;
    std::optional<Calculation> c =
        calculationFrom(in, oneSiteModel(system, "window", "Al", "electron:200"), error);
    EXPECT_TRUE(c) << error;
    return *c;
}

/**
 * The spots of the section at `truth` on a 1024-pixel square image: rows of 1 % of the
 * strongest or more, one in five dropped, centres jittered, one false spot in ten.
 */
std::vector<MeasuredSpot> measuredSpots(const ZoneResult& zone, const PatternCalibration& truth,
                                        unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> jitter(0.0, 0.3);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::vector<MeasuredSpot> spots;
    for (const SectionPoint& p : sectionPoints(zone.section, zone.intensities, 1.0)) {
        const auto at = truth.pixelOf(p.u, p.v);
        if (at[0] < 8 || at[0] > 1016 || at[1] < 8 || at[1] > 1016) continue;
        if (uniform(random) < 0.2) continue;
        const double i = 1000.0 * p.strength * (1.0 + 0.1 * jitter(random));
        spots.push_back({at[0] + jitter(random), at[1] + jitter(random), i, std::sqrt(i)});
    }
    const std::size_t real = spots.size();
    for (std::size_t k = 0; k < real / 10; ++k)
        spots.push_back({8 + 1008 * uniform(random), 8 + 1008 * uniform(random),
                         1000.0 * (1.0 + 4.0 * uniform(random)), 30.0});
    std::sort(spots.begin(), spots.end(), [](const MeasuredSpot& a, const MeasuredSpot& b) {
        return a.intensity > b.intensity;
    });
    return spots;
}

/**
 * A 1024-pixel photograph of the section at `truth`: rows of 0.5 % of the strongest or more,
 * one in five left out, on a diffuse background with counting noise, a saturated direct beam
 * and a beam stop.
 */
DiffractionImage photograph(const ZoneResult& zone, const PatternCalibration& truth,
                            unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    SyntheticPattern pattern;
    pattern.width = pattern.height = 1024;
    pattern.centreX = truth.centreX;
    pattern.centreY = truth.centreY;
    pattern.beamStopWidth = 24.0;
    pattern.beamStopAngleDeg = 250.0;
    pattern.backgroundRadius = 250.0;
    pattern.seed = seed;
    for (const SectionPoint& p : sectionPoints(zone.section, zone.intensities, 0.5)) {
        if (uniform(random) < 0.2) continue;
        const auto at = truth.pixelOf(p.u, p.v);
        pattern.spots.push_back({at[0], at[1], 3000.0 * p.strength, 1.5});
    }
    return renderPattern(pattern);
}

double rotationOff(double fitted, double truth, int order) {
    const double period = 360.0 / order;
    const double d = std::fmod(std::fmod(fitted - truth, period) + period, period);
    return std::min(d, period - d);
}

const Case kCases[] = {
    {"icosahedral fivefold", QuasicrystalSystem::Icosahedral, "fivefold", 10},
    {"icosahedral threefold", QuasicrystalSystem::Icosahedral, "threefold", 6},
    {"icosahedral twofold", QuasicrystalSystem::Icosahedral, "twofold", 2},
    {"decagonal tenfold", QuasicrystalSystem::Decagonal, "periodic", 10},
    // Few spots, all of them also in place at 1/tau the scale: the intensities decide.
    {"F icosahedral threefold, large", QuasicrystalSystem::Icosahedral, "threefold", 6, true, 700.0,
     false},
};

}  // namespace

TEST(PatternFit, RecoversThePlacementAndAutoNamesTheAxis) {
    unsigned seed = 1;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const Calculation calculation = electronRun(c.system, c.faceCentred);
        ZoneRequest request;
        ASSERT_EQ(parseZoneAxis(c.axis, c.system, request.axis), "");
        const ZoneResult zone = physics::zone(calculation, request);
        ASSERT_TRUE(zone.ok()) << zone.message;
        PatternCalibration truth;
        truth.centreX = 517.3;
        truth.centreY = 498.6;
        truth.rotation = 23.4;
        truth.scale = c.scale;
        const std::vector<MeasuredSpot> spots = c.photograph
                                                    ? findSpots(photograph(zone, truth, ++seed))
                                                    : measuredSpots(zone, truth, ++seed);

        const PatternFit fit = fitPattern(spots, zone.section, zone.intensities);
        ASSERT_TRUE(fit.ok()) << fit.message;
        EXPECT_NEAR(fit.calibration.centreX, truth.centreX, 1.0);
        EXPECT_NEAR(fit.calibration.centreY, truth.centreY, 1.0);
        EXPECT_LT(rotationOff(fit.calibration.rotation, truth.rotation, c.order), 0.5);
        EXPECT_NEAR(fit.calibration.scale / truth.scale, 1.0, 0.005);
        EXPECT_GT(fit.matches.size(), 0.8 * spots.size());

        const PatternFit found = fitMeasuredPattern(calculation, kAutoAxis, spots);
        ASSERT_TRUE(found.ok()) << found.message;
        EXPECT_EQ(found.axisName, c.axis);
    }
}

TEST(PatternFit, RecoversAnEllipticalDistortion) {
    const Calculation calculation = electronRun(QuasicrystalSystem::Icosahedral, false);
    ZoneRequest request;
    ASSERT_EQ(parseZoneAxis("fivefold", QuasicrystalSystem::Icosahedral, request.axis), "");
    const ZoneResult zone = physics::zone(calculation, request);
    PatternCalibration truth;
    truth.centreX = 505.0;
    truth.centreY = 520.0;
    truth.rotation = -12.0;
    truth.scale = 300.0;
    truth.ellipseRatio = 1.04;
    truth.ellipseAngle = 30.0;
    const std::vector<MeasuredSpot> spots = measuredSpots(zone, truth, 7);
    PatternFitOptions options;
    options.ellipticity = true;
    const PatternFit fit = fitPattern(spots, zone.section, zone.intensities, options);
    ASSERT_TRUE(fit.ok()) << fit.message;
    EXPECT_NEAR(fit.calibration.centreX, truth.centreX, 1.0);
    EXPECT_NEAR(fit.calibration.centreY, truth.centreY, 1.0);
    EXPECT_NEAR(fit.calibration.scale / truth.scale, 1.0, 0.005);
    EXPECT_NEAR(fit.calibration.ellipseRatio, truth.ellipseRatio, 0.004);
    EXPECT_NEAR(fit.calibration.ellipseAngle, truth.ellipseAngle, 2.0);
    EXPECT_LT(fit.rmsPixels, 1.0);
}
