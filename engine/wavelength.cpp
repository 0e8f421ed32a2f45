#include "wavelength.h"

#include <charconv>

namespace tesral {

const std::vector<Anode>& anodeTable() {
    static const std::vector<Anode> table = {
        {"Mo", 0.70926f, 0.71354f},   {"Cu", 1.540598f, 1.544438f}, {"Ni", 1.65783f, 1.66168f},
        {"Co", 1.7889f, 1.79279f},    {"Fe", 1.93597f, 1.93991f},   {"Cr", 2.28962f, 2.29352f},
        {"Ag", 0.559363f, 0.563775f}, {"US", 1.540598f, 1.544438f},
    };
    return table;
}

float meanWavelength(int position) {
    const Anode& anode = anodeTable().at(position);
    const long double mean =
        (2.0L * anode.kAlpha1 + static_cast<long double>(anode.kAlpha2)) / 3.0L;
    return static_cast<float>(mean);
}

std::string wavelengthText(float wavelength) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, wavelength, std::chars_format::general, 7);
    return std::string(buffer, result.ptr);
}

}  // namespace tesral
