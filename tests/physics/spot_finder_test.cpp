#include "physics/spot_finder.h"

#include <gtest/gtest.h>

#include <cmath>

#include "synthetic_pattern.h"

using namespace tesral::physics;

namespace {

/**
 * Spots on a jittered square grid around the centre, strong and weak in turn; the same peak
 * heights whatever their width.
 */
SyntheticPattern testPattern(double width) {
    SyntheticPattern p;
    p.centreX = 250.3;
    p.centreY = 262.8;
    const double step = 34.0;
    int k = 0;
    for (int j = -7; j <= 7; ++j)
        for (int i = -7; i <= 7; ++i, ++k) {
            SyntheticSpot s;
            s.x = p.centreX + i * step + 0.37 * std::sin(1.7 * k);
            s.y = p.centreY + j * step + 0.41 * std::cos(2.3 * k);
            s.sigma = width;
            s.intensity =
                (k % 3 == 0 ? 400.0 : 8000.0 + 500.0 * (k % 7)) * std::pow(width / 1.6, 2);
            if (std::hypot(s.x - p.centreX, s.y - p.centreY) < 30) continue;
            if (s.x < 12 || s.y < 12 || s.x > p.width - 13 || s.y > p.height - 13) continue;
            p.spots.push_back(s);
        }
    // A spot bright enough to saturate: it gives nothing.
    p.spots.push_back({p.centreX + 3.5 * step, p.centreY - 2.5 * step, 3.0e6, width});
    return p;
}

double distanceToBeamStop(const SyntheticPattern& p, double x, double y) {
    double nearest = 1e9;
    for (int a = 0; a < 360; a += 3)
        for (double r = 0; r < 30; r += 0.5) {
            const double qx = x + r * std::cos(a * M_PI / 180),
                         qy = y + r * std::sin(a * M_PI / 180);
            if (inBeamStop(p, qx, qy)) nearest = std::min(nearest, r);
        }
    return nearest;
}

TEST(SpotFinder, FindsStrongSpotsToAFifthOfAPixelAndNothingFromBeamStopOrSaturation) {
    const struct {
        const char* name;
        double width;      // of the spots, pixels
        double given;      // SpotSearch::spotSigma
        double stopWidth;  // of the beam stop, pixels
        double beamPeak;   // counts
    } cases[] = {
        {"width estimated", 1.6, 0.0, 0.0, 1e6},
        {"width given, beam stop", 1.6, 1.6, 14.0, 1e6},
        {"broad spots estimated, beam stop", 3.0, 0.0, 18.0, 1e6},
        {"direct beam below saturation", 1.6, 0.0, 0.0, 3e4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SyntheticPattern p = testPattern(c.width);
        p.beamStopWidth = c.stopWidth;
        p.beamStopAngleDeg = 30.0;
        p.beamPeak = c.beamPeak;
        const DiffractionImage image = renderPattern(p);
        SpotSearch search;
        search.spotSigma = c.given;
        const std::vector<MeasuredSpot> found = findSpots(image, search);
        ASSERT_FALSE(found.empty());
        const std::atomic<bool> stop{true};
        EXPECT_TRUE(findSpots(image, search, &stop).empty());
        for (std::size_t i = 1; i < found.size(); ++i)
            EXPECT_GE(found[i - 1].intensity, found[i].intensity);

        const SyntheticSpot& saturated = p.spots.back();
        int strong = 0, missed = 0;
        double pulls = 0.0;  // squared intensity errors over their sigmas
        for (const SyntheticSpot& s : p.spots) {
            const MeasuredSpot* match = nullptr;
            for (const MeasuredSpot& f : found)
                if (std::hypot(f.x - s.x, f.y - s.y) < 2.0) match = &f;
            if (&s == &saturated) {
                EXPECT_EQ(match, nullptr) << "a spot from saturated pixels";
                continue;
            }
            // Strong spots clear of the beam stop, the beam and the saturated spot.
            const bool clear = distanceToBeamStop(p, s.x, s.y) > 5.0 * c.width + 2 &&
                               std::hypot(s.x - p.centreX, s.y - p.centreY) > 40.0 &&
                               std::hypot(s.x - saturated.x, s.y - saturated.y) > 40.0;
            if (s.intensity < 2000.0 * std::pow(c.width / 1.6, 2) || !clear) continue;
            ++strong;
            if (!match) {
                ++missed;
                continue;
            }
            EXPECT_LT(std::hypot(match->x - s.x, match->y - s.y), 0.2) << s.x << " " << s.y;
            pulls += std::pow((match->intensity - s.intensity) / match->sigma, 2);
        }
        EXPECT_GT(strong, 100);
        EXPECT_EQ(missed, 0);
        const double rmsPull = std::sqrt(pulls / std::max(1, strong));
        EXPECT_GT(rmsPull, 0.7);
        EXPECT_LT(rmsPull, 1.4);
        for (const MeasuredSpot& f : found) {
            double nearest = 1e9;
            for (const SyntheticSpot& s : p.spots)
                nearest = std::min(nearest, std::hypot(f.x - s.x, f.y - s.y));
            EXPECT_LT(nearest, c.width) << "a spot from nothing at " << f.x << " " << f.y;
            EXPECT_FALSE(inBeamStop(p, f.x, f.y)) << f.x << " " << f.y;
        }
    }
}

}  // namespace
