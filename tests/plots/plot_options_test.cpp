// The View-menu flag rules and the zoom steps.

#include <gtest/gtest.h>

#include "plots/plot_options.h"

using namespace tesral;

TEST(PlotOptions, ColourRulesAndSizeRulesEachExcludeEachOther) {
    using F = PlotFlag;
    struct Case {
        std::vector<PlotFlag> clicks;
        F first, second;  // the pair of rules, only one of which can be on
        bool firstOn, secondOn;
    };
    const Case cases[] = {
        {{F::ColourByInverseQi, F::ColourByTheta},
         F::ColourByTheta,
         F::ColourByInverseQi,
         true,
         false},
        {{F::ColourByInverseQi, F::ColourByTheta, F::ColourByTheta},
         F::ColourByTheta,
         F::ColourByInverseQi,
         false,
         false},
        {{F::ColourByInverseQi, F::ColourByInverseQi},
         F::ColourByTheta,
         F::ColourByInverseQi,
         false,
         false},
        {{F::ColourByTheta, F::ColourByInverseQi},
         F::ColourByTheta,
         F::ColourByInverseQi,
         false,
         true},
        // 1/qi is on at start: intensity switches it off, and 1/qi switches intensity off.
        {{F::SizeByIntensity}, F::SizeByInverseQi, F::SizeByIntensity, false, true},
        {{F::SizeByIntensity, F::SizeByInverseQi},
         F::SizeByInverseQi,
         F::SizeByIntensity,
         true,
         false},
        {{F::SizeByIntensity, F::SizeByIntensity},
         F::SizeByInverseQi,
         F::SizeByIntensity,
         false,
         false},
    };
    for (const Case& c : cases) {
        PlotOptions o;
        for (PlotFlag f : c.clicks) toggleFlag(o, f);
        EXPECT_EQ(flagValue(o, c.first), c.firstOn);
        EXPECT_EQ(flagValue(o, c.second), c.secondOn);
    }
}

TEST(PlotOptions, EachItemTogglesItsOwnFlagOnly) {
    for (const PlotFlagItem& item : kPlotFlagItems) {
        PlotOptions o;
        const bool before = flagValue(o, item.flag);
        EXPECT_EQ(toggleFlag(o, item.flag), !before) << item.objectName;
        for (const PlotFlagItem& other : kPlotFlagItems) {
            // Switching the intensity size rule on switches the 1/qi one off (tested above).
            if (other.flag == item.flag ||
                (item.flag == PlotFlag::SizeByIntensity && other.flag == PlotFlag::SizeByInverseQi))
                continue;
            EXPECT_EQ(flagValue(o, other.flag), flagValue(PlotOptions{}, other.flag));
        }
    }
}

TEST(PlotOptions, ZoomStepsAreUnbounded) {
    PlotOptions o;
    for (int i = 0; i < 3; ++i) zoomIn(o, PlotKind::ZeroLayer);
    EXPECT_NEAR(o.zoom2D, 2.197f, 1e-6f);
    EXPECT_EQ(o.zoom3D, 1.0f);
    resetZoom(o, PlotKind::ZeroLayer);
    EXPECT_EQ(o.zoom2D, 1.0f);
    for (int i = 0; i < 100; ++i) zoomOut(o, PlotKind::ThreeD);
    EXPECT_GT(o.zoom3D, 0.0f);
    EXPECT_LT(o.zoom3D, 1e-11f);
}

