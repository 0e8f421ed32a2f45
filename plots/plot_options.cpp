#include "plots/plot_options.h"

namespace tesral {

float spotFactor(const PlotOptions& options) {
    return static_cast<float>(options.spotSlider / 10.0);
}

namespace {

// Works for const and non-const options alike.
template <class Options>
auto& flagField(Options& options, PlotFlag flag) {
    switch (flag) {
        case PlotFlag::FilledSpots:
            return options.filledSpots;
        case PlotFlag::HighlightMainSpots:
            return options.highlightMainSpots;
        case PlotFlag::HighlightDirections:
            return options.highlightDirections;
        case PlotFlag::SizeByInverseQi:
            return options.sizeByInverseQi;
        case PlotFlag::ColourByTheta:
            return options.colourByTheta;
        case PlotFlag::ColourByInverseQi:
            return options.colourByInverseQi;
        case PlotFlag::SizeByIntensity:
            return options.sizeByIntensity;
        case PlotFlag::ShowIndices:
            break;
    }
    return options.showIndices;
}

}  // namespace

bool flagValue(const PlotOptions& options, PlotFlag flag) {
    return flagField(options, flag);
}

bool toggleFlag(PlotOptions& options, PlotFlag flag) {
    if (flag == PlotFlag::ColourByTheta) options.colourByInverseQi = false;
    if (flag == PlotFlag::ColourByInverseQi) options.colourByTheta = false;
    if (flag == PlotFlag::SizeByInverseQi) options.sizeByIntensity = false;
    if (flag == PlotFlag::SizeByIntensity) options.sizeByInverseQi = false;
    bool& field = flagField(options, flag);
    field = !field;
    return field;
}

float& zoomFactor(PlotOptions& options, PlotKind kind) {
    return kind == PlotKind::ThreeD ? options.zoom3D : options.zoom2D;
}

void zoomIn(PlotOptions& options, PlotKind kind) {
    zoomFactor(options, kind) *= kZoomStep;
}
void zoomOut(PlotOptions& options, PlotKind kind) {
    zoomFactor(options, kind) /= kZoomStep;
}
void resetZoom(PlotOptions& options, PlotKind kind) {
    zoomFactor(options, kind) = 1.0f;
}

}  // namespace tesral
