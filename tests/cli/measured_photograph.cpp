// Writes a synthetic electron-diffraction photograph (16-bit binary PGM) of an icosahedral
// zone-axis section at a known placement, for the command line's fit to recover:
//   measured_photograph OUT.pgm AXIS [SIDE]
// The run is that of the CLI test: Pm-3-5, a = 4.56084 A, limits 12, theta 0..1.2 degrees,
// qi max 1.5, one site with the tiling's window, 200 kV electrons. Centre (517.3, 498.6),
// rotation 23.4 degrees, 310 pixels per 1/A. With SIDE (the manual's example) the picture is
// SIDE pixels square, everything scaled with it, in 8 bits.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "physics/calculation.h"
#include "physics/one_site_model.h"
#include "physics/pattern_geometry.h"
#include "synthetic_pattern.h"

using namespace tesral;
using namespace tesral::physics;

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: measured_photograph OUT.pgm AXIS [SIDE]\n");
        return 2;
    }
    RunInputs in;
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = 6;
    in.a = "4.56084";
    in.loopLimits.fill("12");
    in.thetaMin = std::string(1, '0');
    in.thetaMax = "1.2";
    in.qiMax = "1.5";
    std::string error;
    const auto calculation =
        calculationFrom(in, oneSiteModel(in.system, "window", "Al", "electron:200"), error);
    ZoneRequest request;
    if (!calculation || !parseZoneAxis(argv[2], in.system, request.axis).empty()) return 2;
    const ZoneResult zone = physics::zone(*calculation, request);
    if (!zone.ok()) return 1;

    const int side = argc == 4 ? std::atoi(argv[3]) : 1024;
    if (side < 64 || side > 4096) return 2;
    const double f = side / 1024.0;
    const bool eightBits = argc == 4;
    PatternCalibration truth;
    truth.centreX = 517.3 * f;
    truth.centreY = 498.6 * f;
    truth.rotation = 23.4;
    truth.scale = 310.0 * f;
    SyntheticPattern pattern;
    pattern.width = pattern.height = side;
    pattern.centreX = truth.centreX;
    pattern.centreY = truth.centreY;
    pattern.beamStopWidth = 24.0 * f;
    pattern.beamStopAngleDeg = 250.0;
    pattern.backgroundRadius = 250.0 * f;
    // 8 bits: fewer counts, and a detector that counts them more finely.
    const double counts = eightBits ? 1.0 / 150.0 : 1.0;
    if (eightBits) {
        pattern.saturation = 255.0f;
        pattern.background = 40.0;
        pattern.floor = 8.0;
        pattern.gain = 0.1;
    }
    std::mt19937 random(3);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    for (const SectionPoint& p : sectionPoints(zone.section, zone.intensities, 0.5)) {
        if (uniform(random) < 0.2) continue;  // a fifth of the spots missing
        const auto at = truth.pixelOf(p.u, p.v);
        pattern.spots.push_back({at[0], at[1], 3000.0 * counts * p.strength, 1.5});
    }
    const DiffractionImage image = renderPattern(pattern);
    std::ofstream out(argv[1], std::ios::binary);
    out << "P5\n" << image.width << ' ' << image.height << (eightBits ? "\n255\n" : "\n65535\n");
    for (const float v : image.pixels) {
        const auto w = static_cast<unsigned>(v);
        if (!eightBits) out.put(static_cast<char>(w >> 8));
        out.put(static_cast<char>(w & 0xff));
    }
    return out ? 0 : 1;
}
