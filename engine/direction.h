#pragma once

#include "engine/reflection_table.h"
#include "lattice/lattice_basis.h"

namespace tesral {

/** 90 degrees + arcsin(c), in radians; 0 when 1 - c^2 <= 0. */
double angleFromCosine(double c);

/** |t| minus (|t| - 0.5 rounded half to even): 0..1, whole numbers give 0 or 1. */
double fractionalPart(double t);

/**
 * Whether the row's in-plane direction lies along a main direction, halfway between two or
 * elsewhere, within 0.3 degrees. Always Other for the icosahedral system.
 */
DirectionClass classifyDirection(const ReflectionRecord& row, const LatticeBasis& basis);

}  // namespace tesral
