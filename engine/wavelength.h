#pragma once

#include <string>
#include <vector>

namespace tesral {

/** An X-ray tube anode with its K-alpha1 and K-alpha2 lines (angstrom). */
struct Anode {
    std::string name;
    float kAlpha1;
    float kAlpha2;
};

/** The eight anodes in list order; the last, "US", is typed by the user (copper values). */
const std::vector<Anode>& anodeTable();

constexpr int kUserAnodePosition = 7;

/** (2 K-alpha1 + K-alpha2) / 3 in extended precision, rounded to single precision. */
float meanWavelength(int position);

/** At most seven significant digits, no trailing zeros, "." as separator. */
std::string wavelengthText(float wavelength);

}  // namespace tesral
