#pragma once

// Small hand-made tables for the plot tests.

#include <array>
#include <vector>

#include "engine/reflection_table.h"
#include "plots/plot_data.h"
#include "plots/plot_options.h"

namespace tesral::test {

/** A plot's inputs as a finished run leaves them, with the options to draw them by. */
struct PlotState {
    ReflectionTable table;
    TableStatistics statistics;
    ProjectedPoints points;
    int indexDimension = 0;
    PlotOptions options;

    PlotData data() const { return {table, statistics, points, indexDimension}; }
};

struct Spot {
    std::array<float, 6> h{};
    float x = 0, y = 0, z = 0;
    float theta = 10.0f;
    float qi = 0.5f;
    std::int16_t directionClass = 0;  // a DirectionClass value, or an unknown one
    bool isMainSpot = false;
    float intensity = 0.0f;
};

inline ReflectionRecord makeRecord(const Spot& s) {
    ReflectionRecord r;
    for (int i = 0; i < 6; ++i) r.v[kH1 + i] = s.h[static_cast<std::size_t>(i)];
    r.v[kTheta] = s.theta;
    r.v[kQi] = s.qi;
    r.v[kX] = s.x;
    r.v[kY] = s.y;
    r.v[kZ] = s.z;
    r.v[kIntensity] = s.intensity;
    r.directionClass = static_cast<DirectionClass>(s.directionClass);
    r.isMainSpot = s.isMainSpot;
    return r;
}

/** Statistics with the given extremes; maxX..maxZ also bound the 3D plot. */
inline TableStatistics makeStatistics(float maxZeroLayerX, float maxTheta, float maxQi,
                                      float maxCoordinate) {
    TableStatistics st;
    st.maxZeroLayerX = maxZeroLayerX;
    st.maxTheta = maxTheta;
    st.maxQi = maxQi;
    st.minPositiveQi = 0.25f;
    st.maxX = st.maxY = st.maxZ = maxCoordinate;
    return st;
}

/** A state as a finished run leaves it: points (x, y, z, row, 0) in table order. */
inline PlotState makeState(const std::vector<Spot>& spots, const TableStatistics& st,
                           int indexDimension = 5) {
    PlotState state;
    for (const Spot& s : spots) state.table.push_back(makeRecord(s));
    for (std::size_t r = 0; r < state.table.size(); ++r) {
        const ReflectionRecord& rec = state.table[r];
        state.points.push_back({{rec.x(), rec.y(), rec.z()}, static_cast<std::uint32_t>(r)});
    }
    state.statistics = st;
    state.indexDimension = indexDimension;
    return state;
}

/** A 200 x 100 pixel box at 96 dots per inch: 3000 x 1500 twips. */
inline PlotTarget makeTarget(QRgb background = kBlack, QRgb foreground = kWhite) {
    PlotTarget t;
    t.width = 3000;
    t.height = 1500;
    t.background = background;
    t.foreground = foreground;
    return t;
}

}  // namespace tesral::test
