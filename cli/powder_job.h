#pragma once

// The powder pattern of the command line: options, the computation and the text outputs.

#include <string>
#include <vector>

#include "cli/option_values.h"
#include "cli/options.h"
#include "engine/generation.h"
#include "physics/calculation.h"
#include "physics/powder_lines.h"
#include "physics/powder_profile.h"
#include "physics/structure_model.h"

namespace tesral::cli {

/** The picture's size and its labelled lines without --size and --labels. */
inline constexpr PixelSize kPowderPictureSize{1000, 600};
inline constexpr int kPowderLabels = 12;

/** Run, model and powder options. */
KnownOptions powderOptions();

/** What `tesral-cli powder` works out: the calculation's pattern. */
using PowderJob = physics::PowderResult;

/** --two-theta START:STOP:STEP, --caglioti U,V,W, --eta, --monochromator; mistakes throw. */
physics::TwoThetaGrid gridFrom(const Options& options);
physics::ProfileShape shapeFrom(const Options& options);

/**
 * The pattern of the options' calculation (physics::powder): whole orbits, the theta window
 * taken from the 2-theta grid unless --thmin or --thmax is given, a one-site "window" Al
 * model without --model or --domain, the lines and, when `profile` is set, the profile.
 * Mistakes of the options throw UsageError, a run that cannot be made std::runtime_error.
 */
PowderJob powderJobFrom(const Options& options, bool profile = true);

/**
 * The same for the 2-theta span [low, high] (degrees) instead of the grid's; `unstrained`
 * drops every phason strain (the approximant's, the model's): the quasicrystal's pattern.
 */
PowderJob powderJobFor(const Options& options, double low, double high, bool profile,
                       bool unstrained = false);

/** The .xy pattern: 2-theta and intensity per line. */
std::string powderXyText(const PowderJob& job);

/** The .csv lines table, with a header row. */
std::string powderCsvText(const PowderJob& job);

/** A note of the number of reflections and lines on standard error. */
void notePowderRun(const PowderJob& job);

/** The strongest line's weight; 0 without lines. */
double strongestWeight(const std::vector<physics::PowderLine>& lines);

}  // namespace tesral::cli
