#include "lattice_basis.h"

#include <cmath>

namespace tesral {
namespace {

// The build keeps these approximate constants: reflections on the qi limit depend on them.
constexpr double kPi = 3.141592654;
constexpr double kDegree = kPi / 180.0;
constexpr double kPhi = 1.107148718;  // atan(2) to ten figures

struct Steps {
    double theta;  // angle step, radians
    double cosStep(int k) const { return std::cos(static_cast<double>(k) * theta); }
    double sinStep(int k) const { return std::sin(static_cast<double>(k) * theta); }
};

double stepDegrees(QuasicrystalSystem system) {
    switch (system) {
        case QuasicrystalSystem::Octagonal:
            return 45.0;
        case QuasicrystalSystem::Decagonal:
            return 72.0;
        case QuasicrystalSystem::Dodecagonal:
            return 30.0;
        case QuasicrystalSystem::Icosahedral:
            return 72.0;
    }
    return 0.0;
}

void fillYamamoto(QuasicrystalSystem system, double a, double c, const Steps& st, Matrix& b) {
    const double twoBySqrt5 = 2.0 / std::sqrt(5.0);
    const double oneBySqrt5 = 1.0 / std::sqrt(5.0);
    switch (system) {
        case QuasicrystalSystem::Octagonal:
            for (int k = 1; k <= 4; ++k) {
                b(k - 1, 0) = a * st.cosStep(k);
                b(k - 1, 1) = a * st.sinStep(k);
                b(k - 1, 2) = a * st.cosStep(3 * k);
                b(k - 1, 3) = a * st.sinStep(3 * k);
            }
            b(4, 4) = c;
            break;
        case QuasicrystalSystem::Decagonal:
            for (int k = 1; k <= 4; ++k) {
                b(k - 1, 0) = twoBySqrt5 * a * (st.cosStep(k) - 1.0);
                b(k - 1, 1) = twoBySqrt5 * a * st.sinStep(k);
                b(k - 1, 2) = twoBySqrt5 * a * (st.cosStep(2 * k) - 1.0);
                b(k - 1, 3) = twoBySqrt5 * a * st.sinStep(2 * k);
            }
            b(4, 4) = c;
            break;
        case QuasicrystalSystem::Dodecagonal: {
            const int p[4] = {-1, 0, 3, 4};
            const int pp[4] = {1, 6, 9, 14};
            const auto scaled = [a](double v) { return (v * a + v * a) / std::sqrt(3.0); };
            for (int k = 1; k <= 4; ++k) {
                b(k - 1, 0) = scaled(st.cosStep(p[k - 1]));
                b(k - 1, 1) = scaled(st.sinStep(p[k - 1]));
                b(k - 1, 2) = scaled(st.cosStep(pp[k - 1]));
                b(k - 1, 3) = scaled(st.sinStep(pp[k - 1]));
            }
            b(4, 4) = c;
            break;
        }
        case QuasicrystalSystem::Icosahedral:
            b(0, 2) = a;
            b(0, 5) = a;
            for (int k = 2; k <= 6; ++k) {
                b(k - 1, 0) = a * (twoBySqrt5 * st.cosStep(k));
                b(k - 1, 1) = a * (twoBySqrt5 * st.sinStep(k));
                b(k - 1, 2) = a * oneBySqrt5;
                b(k - 1, 3) = a * (twoBySqrt5 * st.cosStep(2 * k));
                b(k - 1, 4) = a * (twoBySqrt5 * st.sinStep(2 * k));
                b(k - 1, 5) = a * -oneBySqrt5;
            }
            break;
    }
}

void fillSteurer(QuasicrystalSystem system, double invA, double invC, const Steps& st, Matrix& b) {
    if (system == QuasicrystalSystem::Icosahedral) {
        const double sinPhi = std::sin(kPhi);
        const double cosPhi = std::cos(kPhi);
        b(0, 2) = invA;
        b(0, 5) = invA;
        for (int k = 2; k <= 6; ++k) {
            b(k - 1, 0) = invA * (sinPhi * st.cosStep(k));
            b(k - 1, 1) = invA * (sinPhi * st.sinStep(k));
            b(k - 1, 2) = invA * cosPhi;
            b(k - 1, 3) = invA * -(sinPhi * st.cosStep(3 * k));
            b(k - 1, 4) = invA * -(sinPhi * st.sinStep(3 * k));
            b(k - 1, 5) = invA * -cosPhi;
        }
        return;
    }
    // Perpendicular multiplier: 3 for octagonal and decagonal, 5 for dodecagonal.
    const int m = system == QuasicrystalSystem::Dodecagonal ? 5 : 3;
    for (int k = 1; k <= 4; ++k) {
        b(k - 1, 0) = invA * st.cosStep(k);
        b(k - 1, 1) = invA * st.sinStep(k);
        b(k - 1, 2) = invA * st.cosStep(m * k);
        b(k - 1, 3) = invA * st.sinStep(m * k);
    }
    b(4, 4) = invC;
}

bool allFinite(const Matrix& m, int n) {
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (!std::isfinite(m(i, j))) return false;
    return true;
}

}  // namespace

const char* systemName(QuasicrystalSystem system) {
    switch (system) {
        case QuasicrystalSystem::Octagonal:
            return "octagonal";
        case QuasicrystalSystem::Decagonal:
            return "decagonal";
        case QuasicrystalSystem::Dodecagonal:
            return "dodecagonal";
        case QuasicrystalSystem::Icosahedral:
            return "icosahedral";
    }
    return "";
}

std::optional<LatticeBasis> buildLatticeBasis(QuasicrystalSystem system, double a, double c,
                                              MatrixConvention convention) {
    const bool axial = system != QuasicrystalSystem::Icosahedral;
    if (a == 0.0 || !std::isfinite(a)) return std::nullopt;
    if (axial && (c == 0.0 || !std::isfinite(c))) return std::nullopt;
    const double invA = 1.0 / a;
    const double invC = axial ? 1.0 / c : 0.0;
    if (!std::isfinite(invA) || !std::isfinite(invC)) return std::nullopt;

    LatticeBasis basis;
    basis.n = indexDimensionOf(system);
    const int n = basis.n;
    const Steps steps{stepDegrees(system) * kDegree};

    Matrix b(n, n);
    if (convention == MatrixConvention::Yamamoto) {
        fillYamamoto(system, a, c, steps, b);
        basis.direct = b;
        copyMatrix(b, n, n, basis.inverse);
        if (invertMatrix(basis.inverse, n) != InversionStatus::Ok) return std::nullopt;
    } else {
        fillSteurer(system, invA, invC, steps, b);
        transposeMatrix(b, n, n, basis.inverse);
        copyMatrix(basis.inverse, n, n, basis.direct);
        if (invertMatrix(basis.direct, n) != InversionStatus::Ok) return std::nullopt;
    }
    if (!allFinite(basis.direct, n) || !allFinite(basis.inverse, n)) return std::nullopt;

    if (axial) {
        const double x = basis.inverse(0, 0);
        const double y = basis.inverse(1, 0);
        const double r = std::sqrt(x * x + y * y);
        basis.referenceDirection = {x / r, y / r};
    }
    switch (system) {
        case QuasicrystalSystem::Octagonal:
            basis.symmetryAngle = 45.0f;
            basis.halfSymmetryAngle = 22.5f;
            break;
        case QuasicrystalSystem::Decagonal:
            basis.symmetryAngle = 36.0f;
            basis.halfSymmetryAngle = 18.0f;
            break;
        case QuasicrystalSystem::Dodecagonal:
            basis.symmetryAngle = 30.0f;
            basis.halfSymmetryAngle = 15.0f;
            break;
        case QuasicrystalSystem::Icosahedral:
            break;
    }
    return basis;
}

}  // namespace tesral
