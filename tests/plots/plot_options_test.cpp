// The View-menu flag rules, the slider factor and the zoom steps.

#include <gtest/gtest.h>

#include "plots/plot_options.h"

using namespace tesral;

TEST(PlotOptions, StartsWithFilledSpotsSizedByQi) {
    const PlotOptions o;
    std::vector<bool> checked;
    checked.reserve(std::size(kPlotFlagItems));
    for (const PlotFlagItem& item : kPlotFlagItems) checked.push_back(flagValue(o, item.flag));
    EXPECT_EQ(checked, (std::vector<bool>{true, false, false, true, false, false, false}));
    EXPECT_EQ(o.zoom2D, 1.0f);
    EXPECT_EQ(o.zoom3D, 1.0f);
    EXPECT_EQ(spotFactor(o), 1.0f);
}

TEST(PlotOptions, ColourOptionsExcludeEachOther) {
    struct Case {
        std::vector<PlotFlag> clicks;
        bool byTheta, byQi;
    };
    const Case cases[] = {
        {{PlotFlag::ColourByInverseQi, PlotFlag::ColourByTheta}, true, false},
        {{PlotFlag::ColourByInverseQi, PlotFlag::ColourByTheta, PlotFlag::ColourByTheta},
         false,
         false},
        {{PlotFlag::ColourByInverseQi, PlotFlag::ColourByInverseQi}, false, false},
        {{PlotFlag::ColourByTheta, PlotFlag::ColourByInverseQi}, false, true},
    };
    for (const Case& c : cases) {
        PlotOptions o;
        for (PlotFlag f : c.clicks) toggleFlag(o, f);
        EXPECT_EQ(o.colourByTheta, c.byTheta);
        EXPECT_EQ(o.colourByInverseQi, c.byQi);
    }
}

TEST(PlotOptions, EachItemTogglesItsOwnFlagOnly) {
    for (const PlotFlagItem& item : kPlotFlagItems) {
        PlotOptions o;
        const bool before = flagValue(o, item.flag);
        EXPECT_EQ(toggleFlag(o, item.flag), !before) << item.objectName;
        for (const PlotFlagItem& other : kPlotFlagItems) {
            if (other.flag == item.flag) continue;
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

TEST(PlotOptions, SpotFactorIsTheSliderInTenths) {
    PlotOptions o;
    const std::pair<int, float> cases[] = {{0, 0.0f}, {1, 0.1f}, {25, 2.5f}, {40, 4.0f}};
    for (auto [slider, factor] : cases) {
        o.spotSlider = slider;
        EXPECT_FLOAT_EQ(spotFactor(o), factor);
    }
}
