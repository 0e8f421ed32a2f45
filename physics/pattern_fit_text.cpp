#include "physics/pattern_fit_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/reflection_table.h"

namespace tesral::physics {
namespace {

/** A JSON number with `decimals` places; null for what is not finite. */
std::string number(double value, int decimals) {
    if (!std::isfinite(value)) return "null";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

std::string pair(double x, double y, int decimals) {
    std::string out(1, '[');
    out += number(x, decimals);
    out += ", ";
    out += number(y, decimals);
    return out + ']';
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + '"';
}

int indexCount(const PatternFit& fit) {
    return std::clamp(fit.section.run.indexDimension, 0, 6);
}

std::string indexList(const ReflectionRecord& row, int n, const char* separator) {
    std::string out;
    for (int i = 0; i < n; ++i) {
        if (i) out += separator;
        out += std::to_string(std::lround(row.h(i)));
    }
    return out;
}

}  // namespace

std::string patternFitJson(const PatternFit& fit, const std::vector<MeasuredSpot>& spots,
                           std::optional<double> pixelSizeMm) {
    const PatternCalibration& c = fit.calibration;
    const int n = indexCount(fit);
    std::string axis;
    for (int i = 0; i < n; ++i) {
        if (i) axis += ", ";
        axis += std::to_string(fit.axis[static_cast<std::size_t>(i)]);
    }
    const double wavelength = fit.section.run.parameters.wavelength;
    std::string j = "{\n";
    j += "  \"axis\": " + quoted(fit.axisName) + ",\n";
    j += "  \"axis_indices\": [" + axis + "],\n";
    j += "  \"centre_px\": " + pair(c.centreX, c.centreY, 3) + ",\n";
    j += "  \"rotation_deg\": " + number(c.rotation, 4) + ",\n";
    j += "  \"pixels_per_inverse_angstrom\": " + number(c.scale, 4) + ",\n";
    j += "  \"ellipse_ratio\": " + number(c.ellipseRatio, 5) + ",\n";
    j += "  \"ellipse_angle_deg\": " + number(c.ellipseAngle, 3) + ",\n";
    j += "  \"wavelength_A\": " + number(wavelength, 7) + ",\n";
    if (pixelSizeMm) {
        const double lambdaL = cameraConstant(c, *pixelSizeMm);
        j += "  \"pixel_size_mm\": " + number(*pixelSizeMm, 6) + ",\n";
        j += "  \"camera_constant_A_mm\": " + number(lambdaL, 5) + ",\n";
        j += "  \"camera_length_mm\": " + number(wavelength > 0.0 ? lambdaL / wavelength : NAN, 2) +
             ",\n";
    } else {
        j += "  \"camera_constant_A_mm\": null,\n";
    }
    j += "  \"matched\": " + std::to_string(fit.matches.size()) + ",\n";
    j += "  \"unmatched_measured\": " + std::to_string(fit.unmatchedMeasured) + ",\n";
    j += "  \"rms_px\": " + number(fit.rmsPixels, 3) + ",\n";
    j += "  \"match_radius_px\": " + number(fit.matchRadius, 3) + ",\n";
    j += "  \"intensities_calculated\": " + std::string(fit.intensities ? "true" : "false") + ",\n";
    j += "  \"spots\": [";
    for (std::size_t k = 0; k < fit.matches.size(); ++k) {
        const SpotMatch& m = fit.matches[k];
        const MeasuredSpot& s = spots[m.measured];
        const ReflectionRecord& row = fit.section.run.table[m.row];
        j += k ? ",\n    " : "\n    ";
        j += "{\"indices\": [" + indexList(row, n, ", ") + "], ";
        j += "\"measured_px\": " + pair(s.x, s.y, 3) + ", ";
        j += "\"calculated_px\": " + pair(m.calculatedX, m.calculatedY, 3) + ", ";
        j += "\"distance_px\": " + number(m.distance, 3) + ", ";
        j += "\"d_A\": " + number(row.d(), 5) + ", ";
        j += "\"intensity_measured\": " + number(s.intensity, 2) + ", ";
        j += "\"sigma_measured\": " + number(s.sigma, 2) + ", ";
        j += "\"intensity_calculated\": " +
             (fit.intensities ? number(row.v[kIntensity], 4) : std::string("null")) + "}";
    }
    j += fit.matches.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return j;
}

std::string matchedIntensityList(const PatternFit& fit, const std::vector<MeasuredSpot>& spots,
                                 const std::string& imageName) {
    const int n = indexCount(fit);
    std::string axis;
    for (int i = 0; i < n; ++i) {
        if (i) axis += ' ';
        axis += std::to_string(fit.axis[static_cast<std::size_t>(i)]);
    }
    std::string out;
    out += "# Integrated intensities of the spots of " + imageName + ", zone axis [" + axis + "]";
    if (!fit.axisName.empty() && fit.axisName.front() >= 'a' && fit.axisName.front() <= 'z')
        out += " (" + fit.axisName + ")";
    out += "\n";
    out +=
        "# Kinematic only: electrons scatter dynamically, so these are |F|^2 only for\n"
        "# very thin regions; read a refinement against them with care.\n";
    out += "# " + std::string(n == 6 ? "h1 h2 h3 h4 h5 h6" : "h1 h2 h3 h4 h5") + "  I  sigma\n";
    std::vector<const SpotMatch*> order;
    for (const SpotMatch& m : fit.matches) order.push_back(&m);
    std::stable_sort(order.begin(), order.end(), [&](const SpotMatch* a, const SpotMatch* b) {
        return spots[a->measured].intensity > spots[b->measured].intensity;
    });
    for (const SpotMatch* m : order) {
        const MeasuredSpot& s = spots[m->measured];
        char numbers[96];
        std::snprintf(numbers, sizeof numbers, " %14.3f %12.3f\n", s.intensity, s.sigma);
        out += indexList(fit.section.run.table[m->row], n, " ") + numbers;
    }
    return out;
}

}  // namespace tesral::physics
