#include "physics/point_density.h"

#include <gtest/gtest.h>

#include <string>

#include "physics/model_file.h"

using namespace tesral;
using namespace tesral::physics;

// Each shipped model of an alloy holds the atoms per cubic angstrom its measured density
// gives (within 10 %), in the run its header names.
TEST(PointDensity, ShippedModelsHoldTheirAlloysAtoms) {
    struct Case {
        const char* file;
        QuasicrystalSystem system;
        Centring centring;
        double a, c;  // angstrom
        MatrixConvention convention;
        double measured;  // atoms per cubic angstrom
    } cases[] = {
        {"icosahedral-alcufe.toml", QuasicrystalSystem::Icosahedral, Centring::Face, 8.9378, 0,
         MatrixConvention::Yamamoto, 0.0695},
        {"icosahedral-alpdmn.toml", QuasicrystalSystem::Icosahedral, Centring::Face, 9.1217, 0,
         MatrixConvention::Yamamoto, 0.0665},
        {"decagonal-alcuco.toml", QuasicrystalSystem::Decagonal, Centring::Primitive, 3.7651,
         4.1481, MatrixConvention::Steurer, 0.0678},
    };
    for (const Case& k : cases) {
        const ModelLoad load = loadModel(std::string(TESRAL_MODELS_DIR "/") + k.file, k.system);
        ASSERT_EQ(load.error, "") << k.file;
        const auto basis = buildLatticeBasis(k.system, k.a, k.c, k.convention);
        ASSERT_TRUE(basis);
        const double density = pointDensity(*load.model, k.system, *basis, k.centring);
        EXPECT_NEAR(density, k.measured, 0.1 * k.measured) << k.file;
    }
}
