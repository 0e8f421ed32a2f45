#pragma once

#include <array>
#include <string_view>

namespace tesral {

/** The two plots; the numbers are the plot kinds of printing and export. */
enum class PlotKind { ZeroLayer = 2, ThreeD = 3 };

/** The View-menu flags, the spot-size slider and the two zoom factors. */
struct PlotOptions {
    bool filledSpots = true;
    bool highlightMainSpots = false;
    bool highlightDirections = false;
    bool sizeByInverseQi = true;
    bool colourByTheta = false;  // never on together with colourByInverseQi
    bool colourByInverseQi = false;
    bool showIndices = false;
    /** Spot area proportional to the relative intensity; overrides the 1/qi size rule. */
    bool sizeByIntensity = false;
    /** With sizeByIntensity: rows weaker than this (percent of the strongest) are not drawn. */
    float intensityThreshold = 0.1f;
    float zoom2D = 1.0f;
    float zoom3D = 1.0f;
    /** Position of the spot-size slider slRFAC, 0..40. */
    int spotSlider = 10;
};

inline constexpr int kSpotSliderMaximum = 40;

/** Spot-size factor of one drawing: slider position / 10, 0.0 .. 4.0. */
float spotFactor(const PlotOptions& options);

enum class PlotFlag {
    FilledSpots,
    HighlightMainSpots,
    HighlightDirections,
    SizeByInverseQi,
    ColourByTheta,
    ColourByInverseQi,
    ShowIndices,
    SizeByIntensity,
};

/** A View-menu check item: its objectName and caption. */
struct PlotFlagItem {
    PlotFlag flag;
    std::string_view objectName;
    std::string_view caption;
};

/** The View-menu check items in menu order. */
inline constexpr std::array<PlotFlagItem, 8> kPlotFlagItems{{
    {PlotFlag::FilledSpots, "mnuView2", "Filled spots"},
    {PlotFlag::HighlightMainSpots, "mnuView3", "Highlight main spots"},
    {PlotFlag::HighlightDirections, "mnuView8", "Highlight directions"},
    {PlotFlag::SizeByInverseQi, "mnuView4", "Spot size ~ 1/qi"},
    {PlotFlag::SizeByIntensity, "mnuView9", "Spot size ~ intensity"},
    {PlotFlag::ColourByTheta, "mnuView5", "Spot color ~ theta"},
    {PlotFlag::ColourByInverseQi, "mnuView6", "Spot color ~ 1/qi"},
    {PlotFlag::ShowIndices, "mnuView7", "Show indices"},
}};

bool flagValue(const PlotOptions& options, PlotFlag flag);

/**
 * What a click on the flag's View item does: toggles it; a colour option first switches the
 * other colour option off, and so does a size rule the other size rule. Returns the new value (the
 * item's check mark).
 */
bool toggleFlag(PlotOptions& options, PlotFlag flag);

/** The zoom buttons: each step is a factor 1.3, without limits. */
inline constexpr float kZoomStep = 1.3f;
float& zoomFactor(PlotOptions& options, PlotKind kind);
void zoomIn(PlotOptions& options, PlotKind kind);
void zoomOut(PlotOptions& options, PlotKind kind);
void resetZoom(PlotOptions& options, PlotKind kind);

}  // namespace tesral
