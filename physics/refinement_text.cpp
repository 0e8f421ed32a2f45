#include "physics/refinement_text.h"

#include <algorithm>
#include <cstdio>

namespace tesral::physics {

namespace {

std::string line(const char* pattern, double a, double b = 0, double c = 0, double d = 0) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

/** "4.46898 +- 0.00012 A", or the value alone when no uncertainty is known. */
std::string withSigma(double value, double sigma, bool hasSigma, const char* unit) {
    return (hasSigma ? line("%.5f +- %.5f", value, sigma) : line("%.5f", value)) + unit;
}

}  // namespace

std::string refinementText(const std::vector<PowderLine>& lines, const Refinement& r,
                           double a6DPerA) {
    const bool icosahedral = a6DPerA > 0.0;
    std::string text =
        icosahedral ? "  2theta obs  2theta calc   delta      d (A)  indices            N/M\n"
                    : "  2theta obs  2theta calc   delta      d (A)  indices\n";
    for (const MatchedPeak& m : r.matches) {
        const PowderLine& l = lines[m.line];
        std::string row = line("%11.4f %12.4f %8.4f %10.5f  ", m.observed, m.calculated,
                               m.observed - m.calculated, m.d);
        std::string indices = indexText(l);
        if (icosahedral && l.label) {
            indices.resize(std::max<std::size_t>(indices.size(), 18), ' ');
            indices += ' ';
            indices += labelText(*l.label);
        }
        row += indices;
        row += '\n';
        text += row;
    }
    text += '\n';
    text += "a = " + withSigma(r.a, r.aSigma, r.hasSigmas, " A");
    if (icosahedral)
        text +=
            "   (a6D = " + withSigma(r.a * a6DPerA, r.aSigma * a6DPerA, r.hasSigmas, " A") + ")";
    if (!r.hasSigmas) text += "  (as many peaks as parameters: no uncertainties)";
    text += '\n';
    if (!icosahedral) text += "c = " + withSigma(r.c, r.cSigma, r.hasSigmas, " A") + '\n';
    text += "zero shift = " + withSigma(r.zero, r.zeroSigma, r.hasSigmas, " degrees") +
            "   (2theta obs = 2theta calc + zero shift)\n";
    text += line("mean |delta 2theta| = %.4f degrees\n", r.meanAbsoluteDelta);
    return text;
}

}  // namespace tesral::physics
