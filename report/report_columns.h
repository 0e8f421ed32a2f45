#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string_view>

#include "engine/approximant_cell.h"
#include "engine/reflection_table.h"
#include "engine/run_parameters.h"
#include "lattice/approximant.h"

namespace tesral {

/** How one column of the report, the tab-separated list and the window's list is written. */
struct ColumnFormat {
    /** The record element it shows. */
    Element element;
    /** Its heading under the Yamamoto and the Steurer convention. */
    std::string_view heading;
    std::string_view steurerHeading;
    /** Its field in the report (flush right, blanks); the tab-separated list has none. */
    int width;
    int decimals;
    /** Written as its absolute value. */
    bool withoutSign;
    /** Shown as |H-perp| in 1/angstrom: the stored qi times the run's factor. */
    bool perpendicularLength = false;
    /** What the stored value is multiplied by when written (1 but for |H-perp|). */
    float scale = 1.0f;
    /** 0, 1, 2: the approximant cell's h, k or l, cellRow . (h1 ... hn); -1: a stored value. */
    int cellAxis = -1;
    std::array<int, 6> cellRow{};
    /** The cell index is cellRow . (h1 ... hn) over this (a centred lattice's factor). */
    int cellDivisor = 1;
};

/** Element kH1 + i, the index h(i+1). */
constexpr Element indexElement(int i) {
    return static_cast<Element>(kH1 + i);
}

/** Every column, in the order they are written. */
inline constexpr std::array<ColumnFormat, 18> kColumnFormats{{
    {indexElement(0), "h1", "h1", 4, 0, false},
    {indexElement(1), "h2", "h2", 4, 0, false},
    {indexElement(2), "h3", "h3", 4, 0, false},
    {indexElement(3), "h4", "h4", 4, 0, false},
    {indexElement(4), "h5", "h5", 4, 0, false},
    {indexElement(5), "h6", "h6", 4, 0, false},
    {indexElement(0), "h", "h", 5, 0, false, false, 1.0f, 0},
    {indexElement(0), "k", "k", 5, 0, false, false, 1.0f, 1},
    {indexElement(0), "l", "l", 5, 0, false, false, 1.0f, 2},
    {kTheta, "Theta", "Theta", 10, 5, false},
    {kD, "d", "d", 10, 5, false},
    {kQe, "qe", "ve", 10, 5, false},
    // qi is the one value written without its sign, in every text of the rows.
    {kQi, "qi", "vi", 10, 5, true},
    {kX, "x", "x", 10, 5, false},
    {kY, "y", "y", 10, 5, false},
    {kZ, "z", "z", 10, 5, false},
    {kQi, "Hperp", "Hperp", 10, 5, true, true},
    {kIntensity, "I", "I", 10, 5, false},
}};

/** The heading of `column` under `convention`. */
constexpr std::string_view columnHeading(const ColumnFormat& column, MatrixConvention convention) {
    return convention == MatrixConvention::Steurer ? column.steurerHeading : column.heading;
}

/** The value written in `column` for `row`. */
inline float columnValue(const ReflectionRecord& row, const ColumnFormat& column) {
    if (column.cellAxis >= 0) {
        float index = 0.0f;
        for (int j = 0; j < 6; ++j)
            index += static_cast<float>(column.cellRow[static_cast<std::size_t>(j)]) * row.h(j);
        return index / static_cast<float>(column.cellDivisor);
    }
    const float value = row.v[column.element];
    return (column.withoutSign ? std::fabs(value) : value) * column.scale;
}

/**
 * What turns a run's stored qi into |H-perp| in 1/angstrom: 1/a, but 1 for the axial systems
 * under the Steurer convention, whose qi is |H-perp| itself.
 */
inline float perpendicularLengthScale(const RunParameters& p) {
    if (p.convention == MatrixConvention::Steurer && p.system != QuasicrystalSystem::Icosahedral)
        return 1.0f;
    return static_cast<float>(1.0 / p.a);
}

/**
 * The Table menu's choices (or the command line's --columns list); the columns of positions
 * are shown by default, |H-perp| and the intensity are not.
 */
struct ColumnChoices {
    bool indices = true;
    bool theta = true;
    bool dSpacing = true;
    bool qeQi = true;
    bool xyz = true;
    bool hPerp = false;
    bool intensity = false;
    /** The approximant cell's indices h k l (approximant runs only). */
    bool hkl = false;
};

/** Which columns are shown, by the element they show. */
struct ReportColumns {
    int indices = 0;  // h1..h(indices) are shown: 0, or the run's index count
    bool theta = false;
    bool d = false;
    bool qe = false;
    bool qi = false;
    bool x = false;
    bool y = false;
    bool z = false;
    bool hPerp = false;
    bool intensity = false;
    /** The cell indices h k l; shown once takeCellIndices found the run's approximant. */
    bool hkl = false;
    /** perpendicularLengthScale() of the run the rows come from. */
    float hPerpScale = 1.0f;
    /** Rows of the approximant cell's index matrix: h k l from h1 ... hn. */
    std::array<std::array<int, 6>, 3> cellIndices{};
    std::array<int, 3> cellDivisors{1, 1, 1};

    /** From the choices; a run with five indices has no h6. */
    static constexpr ReportColumns from(const ColumnChoices& choices, int indexDimension) {
        ReportColumns c;
        c.indices = choices.indices ? (indexDimension == 5 ? 5 : 6) : 0;
        c.theta = choices.theta;
        c.d = choices.dSpacing;
        c.qe = c.qi = choices.qeQi;
        c.x = c.y = c.z = choices.xyz;
        c.hPerp = choices.hPerp;
        c.intensity = choices.intensity;
        c.hkl = choices.hkl;
        return c;
    }

    /** From the choices for the rows of a run with these parameters. */
    static ReportColumns from(const ColumnChoices& choices, const RunParameters& run) {
        ReportColumns c = from(choices, indexDimensionOf(run.system));
        c.hPerpScale = perpendicularLengthScale(run);
        c.takeCellIndices(run);
        return c;
    }

    /** The index matrix of the run's approximant cell; no hkl columns in other runs. */
    void takeCellIndices(const RunParameters& run) {
        if (!hkl) return;
        const std::optional<ApproximantCell> cell = runApproximantCell(run);
        hkl = cell.has_value();
        if (!hkl) return;
        cellIndices = cell->indexMatrix;
        cellDivisors = cell->divisor;
    }

    /** Every column of a run with `indexDimension` indices. */
    static constexpr ReportColumns all(int indexDimension) { return from({}, indexDimension); }

    constexpr bool shows(const ColumnFormat& column) const {
        if (column.cellAxis >= 0) return hkl;
        if (column.perpendicularLength) return hPerp;
        return shows(column.element);
    }

    constexpr bool shows(Element element) const {
        switch (element) {
            case kIntensity:
                return intensity;
            case kTheta:
                return theta;
            case kD:
                return d;
            case kQe:
                return qe;
            case kQi:
                return qi;
            case kX:
                return x;
            case kY:
                return y;
            case kZ:
                return z;
            default:
                return element >= kH1 && element < kH1 + indices;
        }
    }
};

/** The shown columns in the order they are written, looked up once for many rows. */
class ShownColumns {
  public:
    explicit constexpr ShownColumns(const ReportColumns& columns) {
        for (const ColumnFormat& column : kColumnFormats)
            if (columns.shows(column)) {
                list_[count_] = column;
                if (column.perpendicularLength) list_[count_].scale = columns.hPerpScale;
                if (column.cellAxis >= 0) {
                    const auto axis = static_cast<std::size_t>(column.cellAxis);
                    list_[count_].cellRow = columns.cellIndices[axis];
                    list_[count_].cellDivisor = columns.cellDivisors[axis];
                }
                ++count_;
            }
    }
    const ColumnFormat* begin() const { return list_.data(); }
    const ColumnFormat* end() const { return list_.data() + count_; }

  private:
    std::array<ColumnFormat, kColumnFormats.size()> list_{};
    std::size_t count_ = 0;
};

}  // namespace tesral
