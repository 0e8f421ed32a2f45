#include "run_comparison.h"

#include <cstdio>
#include <cstring>

#include "engine/groups.h"

namespace tesral {
namespace {

bool sameBits(const void* a, const void* b, std::size_t size) {
    return size == 0 || std::memcmp(a, b, size) == 0;
}

template <class T, std::size_t N>
const T& pick(std::mt19937& rng, const T (&choices)[N]) {
    return choices[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

std::string number(std::mt19937& rng, double lo, double hi) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", std::uniform_real_distribution<double>(lo, hi)(rng));
    return text;
}

}  // namespace

std::string describeInputs(const RunInputs& in) {
    std::string s = "system " + std::to_string(systemCode(in.system)) + " group " +
                    std::to_string(in.groupPosition) +
                    (in.convention == MatrixConvention::Yamamoto ? " Yamamoto" : " Steurer") +
                    " a " + in.a + " c " + in.c + " limits";
    for (const std::string& l : in.loopLimits) s += " " + l;
    return s + " theta " + in.thetaMin + ".." + in.thetaMax + " qiMax " + in.qiMax +
           " wavelength " + in.wavelength;
}

std::string firstDifference(const RunResult& a, const RunResult& b) {
    if (a.status != b.status) return "status";
    if (a.message != b.message) return "message";
    if (a.totalLoops != b.totalLoops) return "totalLoops";
    if (a.table.size() != b.table.size())
        return "row count " + std::to_string(a.table.size()) + " vs " +
               std::to_string(b.table.size());
    for (std::size_t r = 0; r < a.table.size(); ++r) {
        const ReflectionRecord& x = a.table[r];
        const ReflectionRecord& y = b.table[r];
        if (!sameBits(x.v.data(), y.v.data(), sizeof(x.v)))
            return "values of row " + std::to_string(r);
        if (x.directionClass != y.directionClass) return "class of row " + std::to_string(r);
        if (x.isMainSpot != y.isMainSpot) return "main spot mark of row " + std::to_string(r);
    }
    if (!sameBits(&a.statistics, &b.statistics, sizeof(TableStatistics))) return "statistics";
    return {};
}

RunInputs randomRunInputs(std::mt19937& rng, int most, int mostIcosahedral) {
    static const QuasicrystalSystem systems[] = {
        QuasicrystalSystem::Octagonal, QuasicrystalSystem::Decagonal,
        QuasicrystalSystem::Dodecagonal, QuasicrystalSystem::Icosahedral};
    static const char* const lengths[] = {"2.82", "5.1", "4", "12.06", "0.9", "-3.3", "7.7"};
    static const char* const thetaMins[] = {"0", "1.0", "5", "-10", "25"};
    static const char* const thetaMaxs[] = {"30.0", "60", "90", "90.0000025", "180", "3", "300"};
    static const char* const qiMaxs[] = {"1.0", "0", "0.25", "1E9", "-1", "1E999", "0.05"};
    static const char* const wavelengths[] = {"0.7106867", "1.5418", "0.2", "0", "-0.7", "1E999"};

    RunInputs in;
    in.system = pick(rng, systems);
    const int groups = static_cast<int>(groupsOfSystem(in.system).size());
    in.groupPosition = std::uniform_int_distribution<int>(0, groups - 1)(rng);
    in.convention = rng() % 2 ? MatrixConvention::Yamamoto : MatrixConvention::Steurer;
    in.a = rng() % 3 ? pick(rng, lengths) : number(rng, 1.0, 10.0);
    in.c = rng() % 3 ? pick(rng, lengths) : number(rng, 1.0, 20.0);
    const int top = in.system == QuasicrystalSystem::Icosahedral ? mostIcosahedral : most;
    for (std::string& l : in.loopLimits)
        l = std::to_string(std::uniform_int_distribution<int>(0, top)(rng));
    if (rng() % 25 == 0) in.loopLimits[rng() % 5] = "-1";
    in.thetaMin = rng() % 4 ? pick(rng, thetaMins) : number(rng, 0.0, 20.0);
    in.thetaMax = rng() % 4 ? pick(rng, thetaMaxs) : number(rng, 5.0, 89.0);
    in.qiMax = rng() % 4 ? pick(rng, qiMaxs) : number(rng, 0.0, 2.0);
    in.wavelength = rng() % 4 ? pick(rng, wavelengths) : number(rng, 0.1, 3.0);
    return in;
}

}  // namespace tesral
