#include "physics/scattering_factor.h"

#include <gtest/gtest.h>

using namespace tesral::physics;

TEST(ScatteringFactor, ForwardValuesOfTheTables) {
    struct Case {
        RadiationKind kind;
        double f0;
    } cases[] = {
        {RadiationKind::XRay, 12.994},     // electrons
        {RadiationKind::Electron, 5.887},  // angstrom
        {RadiationKind::Neutron, 3.449},   // fm
    };
    for (const Case& c : cases) {
        const ScatteringFactor f("Al", c.kind);
        EXPECT_NEAR(f(0.0), c.f0, 5e-4) << static_cast<int>(c.kind);
        // X-rays and electrons fall off with s, neutrons do not.
        if (c.kind == RadiationKind::Neutron)
            EXPECT_EQ(f(0.5), f(0.0));
        else
            EXPECT_LT(f(0.5), 0.6 * f(0.0));
    }
}

TEST(ScatteringFactor, SymbolsAreWholeElementNames) {
    EXPECT_EQ(elementProblem("Al", RadiationKind::XRay), "");
    EXPECT_EQ(elementProblem("pd", RadiationKind::Neutron), "");
    for (const char* bad : {"", "X", "Alx", "Q", "Aluminium"})
        EXPECT_EQ(elementProblem(bad, RadiationKind::XRay),
                  std::string("element '") + bad + "' is not an element symbol");
    EXPECT_THROW(ScatteringFactor("Zz", RadiationKind::XRay), std::invalid_argument);
}

TEST(ScatteringFactor, RelativisticElectronWavelength) {
    EXPECT_NEAR(electronWavelength(200.0), 0.025079, 5e-7);
}
