#pragma once

// The powder view's fields read as numbers, and the line naming what a pattern belongs to.

#include <QString>
#include <optional>
#include <vector>

#include "physics/calculation.h"

class QLineEdit;

namespace tesral::powder_fields {

/** Numbers separated by `separator`; nothing unless there are exactly `count` of them. */
std::optional<std::vector<double>> numbers(const QString& text, QChar separator, int count);

/** One number, or `empty` for an empty field. */
std::optional<double> numberOr(const QLineEdit* field, double empty);

/** A field named `name` holding `text`, at most `width` pixels wide. */
QLineEdit* field(const char* name, const QString& text, int width);

/** "approximant 1/1"; empty without an approximant. */
QString approximantName(const RunParameters& parameters);

/**
 * What a pattern belongs to: "icosahedral, a = 4.46891 A, X-rays, wavelength 1.5406 A",
 * with the approximant after a when there is one.
 */
QString patternTitle(const physics::PowderResult& result);

}  // namespace tesral::powder_fields
