#pragma once

// Comparing two runs bit for bit, and drawing random run inputs.

#include <random>
#include <string>

#include "engine/generation.h"

namespace tesral {

/** The inputs in one line, for failure messages. */
std::string describeInputs(const RunInputs& in);

/** Empty when both runs published the same things bit for bit, else the first difference. */
std::string firstDifference(const RunResult& a, const RunResult& b);

/**
 * Random inputs: any system, group and convention, odd lattice constants, limits 0..most
 * (0..mostIcosahedral for six indices, now and then a negative one), windows that include
 * thetaMax 180, qiMax 0, negative and infinite values, and a few wavelengths.
 */
RunInputs randomRunInputs(std::mt19937& rng, int most, int mostIcosahedral);

}  // namespace tesral
