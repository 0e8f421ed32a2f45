#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <string_view>

#include "engine/reflection_table.h"
#include "engine/run_parameters.h"

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
};

/** Element kH1 + i, the index h(i+1). */
constexpr Element indexElement(int i) {
    return static_cast<Element>(kH1 + i);
}

/** Every column, in the order they are written. */
inline constexpr std::array<ColumnFormat, 13> kColumnFormats{{
    {indexElement(0), "h1", "h1", 4, 0, false},
    {indexElement(1), "h2", "h2", 4, 0, false},
    {indexElement(2), "h3", "h3", 4, 0, false},
    {indexElement(3), "h4", "h4", 4, 0, false},
    {indexElement(4), "h5", "h5", 4, 0, false},
    {indexElement(5), "h6", "h6", 4, 0, false},
    {kTheta, "Theta", "Theta", 10, 5, false},
    {kD, "d", "d", 10, 5, false},
    {kQe, "qe", "ve", 10, 5, false},
    // qi is the one value written without its sign, in every text of the rows.
    {kQi, "qi", "vi", 10, 5, true},
    {kX, "x", "x", 10, 5, false},
    {kY, "y", "y", 10, 5, false},
    {kZ, "z", "z", 10, 5, false},
}};

/** The heading of `column` under `convention`. */
constexpr std::string_view columnHeading(const ColumnFormat& column, MatrixConvention convention) {
    return convention == MatrixConvention::Steurer ? column.steurerHeading : column.heading;
}

/** The value written in `column` for `row`. */
inline float columnValue(const ReflectionRecord& row, const ColumnFormat& column) {
    const float value = row.v[column.element];
    return column.withoutSign ? std::fabs(value) : value;
}

/** The Table menu's choices (or the command line's --columns list); all shown by default. */
struct ColumnChoices {
    bool indices = true;
    bool theta = true;
    bool dSpacing = true;
    bool qeQi = true;
    bool xyz = true;
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

    /** From the choices; a run with five indices has no h6. */
    static constexpr ReportColumns from(const ColumnChoices& choices, int indexDimension) {
        ReportColumns c;
        c.indices = choices.indices ? (indexDimension == 5 ? 5 : 6) : 0;
        c.theta = choices.theta;
        c.d = choices.dSpacing;
        c.qe = c.qi = choices.qeQi;
        c.x = c.y = c.z = choices.xyz;
        return c;
    }

    /** Every column of a run with `indexDimension` indices. */
    static constexpr ReportColumns all(int indexDimension) { return from({}, indexDimension); }

    constexpr bool shows(Element element) const {
        switch (element) {
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
            if (columns.shows(column.element)) list_[count_++] = column;
    }
    const ColumnFormat* begin() const { return list_.data(); }
    const ColumnFormat* end() const { return list_.data() + count_; }

  private:
    std::array<ColumnFormat, kColumnFormats.size()> list_{};
    std::size_t count_ = 0;
};

}  // namespace tesral
