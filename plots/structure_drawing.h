#pragma once

// A slab of a structure's atoms projected on a plane: discs by element, a legend, a scale bar
// and optionally the tiles' edges.

#include <QString>
#include <array>
#include <span>
#include <vector>

#include "plots/plot_canvas.h"
#include "plots/plot_data.h"

namespace tesral {

struct StructureDrawingAtom {
    std::array<double, 3> position{};  // angstrom
    int site = 0;
};

struct StructureDrawingData {
    std::span<const StructureDrawingAtom> atoms;
    /** Element symbol of each site, by site index: the colour and the legend. */
    std::vector<QString> siteElements;
    /** Unit normal of the slab: the periodic axis of the axial systems or a zone axis. */
    std::array<double, 3> axis{0, 0, 1};
    /** The slab holds atoms with |position . axis - height| <= thickness / 2, angstrom. */
    double height = 0.0;
    double thickness = 1.0;
    /** Half the width of the square shown, angstrom; 0 fits the slab's atoms. */
    double halfWidth = 0.0;
    /** The plane point (u, v) at the middle of the picture, angstrom. */
    std::array<double, 2> centre{};
    bool edges = false;
    /**
     * The edge of the tiling whose vertices are the sites marked in tilingSites (by site
     * index), angstrom: those atoms are joined at this distance, whichever their sites. Other
     * sites' atoms are joined at their own site's shortest distance. 0: no tiling.
     */
    double tilingEdge = 0.0;
    std::vector<bool> tilingSites;
};

/** A fixed colour per element symbol, the same in every picture. */
QRgb elementColour(const QString& element);

/** One atom of the slab: plane coordinates u, v and the height w along the axis, angstrom. */
struct SlabPoint {
    double u = 0, v = 0, w = 0;
    int site = 0;
};

/** The slab's atoms projected on the plane perpendicular to the axis. */
std::vector<SlabPoint> slabPoints(const StructureDrawingData& data);

/**
 * The tiles' edges as pairs of indices into `points`, distances taken in space within 1 %:
 * atoms of the tiling's sites at the tiling's edge (see StructureDrawingData), and atoms of
 * any other site at that site's shortest distance.
 */
std::vector<std::array<int, 2>> tileEdges(std::span<const SlabPoint> points,
                                          double tilingEdge = 0.0,
                                          const std::vector<bool>& tilingSites = {});

/** Twips per angstrom of a picture `half` angstrom (at least 1) from its middle to its side. */
double slabScale(double half, const PlotTarget& target);

/** Draws the slab; false when it holds no atom. */
bool drawStructure(const StructureDrawingData& data, const PlotTarget& target, PlotCanvas& canvas);

}  // namespace tesral
