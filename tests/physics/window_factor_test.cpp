#include "physics/window_factor.h"

#include <gtest/gtest.h>

#include <cmath>

#include "physics/domain_transform.h"
#include "physics/structure_factor.h"

using namespace tesral;
using namespace tesral::physics;

namespace {

/** A stand-in window: the disc or sphere of radius `scale`. */
class RoundWindow : public ExactWindow {
  public:
    RoundWindow(QuasicrystalSystem system, double radius) {
        round_.shape =
            system == QuasicrystalSystem::Icosahedral ? DomainShape::Sphere : DomainShape::Disc;
        round_.radius = radius;
        dimensions_ = system == QuasicrystalSystem::Icosahedral ? 3 : 2;
    }
    double measure() const override { return roundDomainMeasure(round_); }
    std::complex<double> transform(const double* k) const override {
        double k2 = 0.0;
        for (int i = 0; i < dimensions_; ++i) k2 += k[i] * k[i];
        return roundDomainTransform(round_, std::sqrt(k2));
    }

  private:
    OccupationDomain round_;
    int dimensions_ = 2;
};

std::unique_ptr<ExactWindow> roundWindow(QuasicrystalSystem system, const LatticeBasis&,
                                         const OccupationDomain& domain) {
    return std::make_unique<RoundWindow>(system, domain.scale);
}

}  // namespace

// Window sites take the direction of H-perp from the indices: tabulated over the h1..h4 box
// in the axial systems, projected row by row in the icosahedral one. A window shaped as the
// round domain must give the round domain's F.
TEST(WindowFactor, RoundWindowGivesTheRoundDomainsStructureFactor) {
    for (const QuasicrystalSystem system :
         {QuasicrystalSystem::Decagonal, QuasicrystalSystem::Icosahedral}) {
        RunInputs in;
        in.system = system;
        in.groupPosition = 0;
        in.loopLimits.fill("3");
        in.thetaMax = "90";
        in.qiMax = "1E9";
        const RunResult run = runGeneration(in);
        ASSERT_GT(run.table.size(), 2401u);  // more rows than the h1..h4 box has points

        Site site;
        site.element = "Cu";
        site.position.assign(static_cast<std::size_t>(run.indexDimension), 0.0);
        site.position[1] = 0.3;
        site.domain.shape =
            system == QuasicrystalSystem::Icosahedral ? DomainShape::Sphere : DomainShape::Disc;
        site.domain.radius = 3.0;
        site.bPerpendicular = 10.0;
        StructureModel round;
        round.sites = {site};
        StructureModel window = round;
        window.sites[0].domain = {DomainShape::Window, 0.0, 3.0, 0};

        const StructureFactor expected(round, run);
        const StructureFactor actual(window, run, roundWindow);
        double largest = 0.0, worst = 0.0;
        for (const ReflectionRecord& row : run.table) {
            largest = std::max(largest, std::abs(expected(row)));
            worst = std::max(worst, std::abs(actual(row) - expected(row)));
        }
        EXPECT_LT(worst, 1e-6 * largest) << worst / largest;
    }
}
