#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "lattice/approximant.h"
#include "lattice/lattice_basis.h"
#include "lattice/phason_strain.h"

namespace tesral {

/** The input panel exactly as typed: every number is still its text. */
struct RunInputs {
    QuasicrystalSystem system = QuasicrystalSystem::Decagonal;
    /** Position of the selected group in the system's group list. */
    int groupPosition = 13;
    MatrixConvention convention = MatrixConvention::Yamamoto;
    std::string a = "2.82";
    std::string c = "12.06";
    std::array<std::string, 6> loopLimits{"2", "2", "2", "2", "2", "2"};
    std::string thetaMin = "1.0";
    std::string thetaMax = "30.0";
    std::string qiMax = "1.0";
    std::string wavelength = "0.7106867";
    /** The phason strain's elements row by row, comma-separated; empty: no strain. */
    std::string phasonStrain;
    /** The rational approximant, "P/Q" or "P/Q,R/S"; empty: none. Sets the strain. */
    std::string approximant;
};

/** The numbers of one run, read from RunInputs. */
struct RunParameters {
    QuasicrystalSystem system = QuasicrystalSystem::Decagonal;
    int groupNumber = 0;      // 1..85
    std::string groupCodes;   // condition words, each followed by one blank
    std::string groupSymbol;  // as shown in the group list
    double thetaMin = 0.0;    // degrees
    double thetaMax = 0.0;    // degrees
    double qiMax = 0.0;       // 1/angstrom
    double wavelength = 0.0;  // angstrom
    double a = 0.0;           // angstrom
    double c = 0.0;           // angstrom
    MatrixConvention convention = MatrixConvention::Yamamoto;
    /** L1..L6; L6 is 0 for the axial systems. */
    std::array<int, 6> loopLimit{};
    /** A linear phason strain of the positions; none: the unstrained quasicrystal. */
    std::optional<PhasonStrain> phasonStrain;
    /** The approximant whose strain phasonStrain holds; none: no approximant. */
    std::optional<Approximant> approximant;
};

/** The three lines that describe a run above its output. */
struct RunHeader {
    std::string groupText;
    std::string latticeText;
    std::string limitsText;
    /** The structure model's line under the limits; empty (and no line) without a model. */
    std::string modelText;
    /**
     * The phason strain's line under the model's (the approximant and its cell in an
     * approximant run); empty (and no line) without a strain.
     */
    std::string strainText;
};

/** Builds the header from the texts as typed (not the numbers they read as). */
RunHeader buildRunHeader(const RunInputs& inputs);

inline const std::string kLoopLimitMessage =
    "Loop limits must lie between 0 and 32767 (a negative limit, down to -32768, is taken "
    "but runs no loop and keeps no reflections).";

/**
 * Reads the numbers of a run; on failure returns nothing and sets `error`. A lattice constant
 * that is negative or too large to be a number is refused here, each with its own message.
 */
std::optional<RunParameters> readRunParameters(const RunInputs& inputs, std::string& error);

inline const std::string kApproximantWithStrainMessage =
    "An approximant sets the phason strain; give either the approximant or a strain.";

/** Why a strain of the wrong size or with an element that is no finite number is refused. */
std::string phasonStrainMessage(QuasicrystalSystem system);

/**
 * Reads "m11,m12,..." (blanks around the commas allowed): size x size finite numbers for the
 * system. Nothing when the text does not give them.
 */
std::optional<PhasonStrain> readPhasonStrain(const std::string& text, QuasicrystalSystem system);

/** Why a or c (c is not read for the icosahedral system) cannot be used; empty when both can. */
std::string latticeConstantProblem(QuasicrystalSystem system, double a, double c);

/**
 * Why a run of these inputs may keep no reflections, in the order the fields stand: each
 * field whose text is not a number ("the wavelength '0,7' is not a number"), theta max
 * below theta min, a negative loop limit. Empty when the inputs explain nothing.
 */
std::vector<std::string> emptyRunReasons(const RunInputs& inputs);

/** The reasons as one line, joined by "; ". */
std::string joinReasons(const std::vector<std::string>& reasons);

}  // namespace tesral
