#include "approximant.h"

#include <Eigen/Dense>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <stdexcept>

#include "lattice/fixed_text.h"

namespace tesral {
namespace {

constexpr double kTau = 1.6180339887498949;

/** The irrational of the system's coordinates and its Galois conjugate. */
struct Irrational {
    double value;
    double conjugate;
};

Irrational irrationalOf(QuasicrystalSystem system) {
    switch (system) {
        case QuasicrystalSystem::Octagonal:
            return {std::sqrt(2.0), -std::sqrt(2.0)};
        case QuasicrystalSystem::Dodecagonal:
            return {std::sqrt(3.0), -std::sqrt(3.0)};
        case QuasicrystalSystem::Decagonal:
        case QuasicrystalSystem::Icosahedral:
            break;
    }
    return {kTau, -1.0 / kTau};
}

/**
 * The frame in which the parallel parts of the reciprocal basis read s_i (U + xi V), U and V
 * integer. Axis i of the frame is row i of `axes` (parallel coordinates).
 */
struct Frame {
    int dims = 0;  // 3 icosahedral, 2 axial (in-plane)
    int n = 0;
    double axes[3][3] = {};
    double unit[3] = {};
    long long u[3][6] = {};
    long long v[3][6] = {};
    Eigen::Matrix3d perpMap = Eigen::Matrix3d::Identity();  // b_perp = L (U + xi' V)
    Irrational xi{};
};

/** The row of component r of the parallel (perpendicular) part in the projected vector. */
int parallelRow(int, int r) {
    return r;
}
int perpendicularRow(int n, int r) {
    return n == 5 ? 2 + r : 3 + r;
}

Eigen::Vector3d parallelPart(const LatticeBasis& b, int j, int dims) {
    Eigen::Vector3d p = Eigen::Vector3d::Zero();
    for (int r = 0; r < dims; ++r) p[r] = b.inverse(parallelRow(b.n, r), j);
    return p;
}

Eigen::Vector3d perpendicularPart(const LatticeBasis& b, int j, int dims) {
    Eigen::Vector3d p = Eigen::Vector3d::Zero();
    for (int r = 0; r < dims; ++r) p[r] = b.inverse(perpendicularRow(b.n, r), j);
    return p;
}

/** x = U + xi V with small integers, or false. */
bool decompose(double x, double xi, long long& u, long long& v) {
    for (long long k = 0; k <= 40; ++k) {
        for (long long sign : {1LL, -1LL}) {
            const long long vv = sign * k;
            const double rest = x - xi * static_cast<double>(vv);
            const double uu = std::round(rest);
            if (std::abs(rest - uu) < 1e-6 * std::max(1.0, std::abs(x))) {
                u = static_cast<long long>(uu);
                v = vv;
                return true;
            }
        }
    }
    return false;
}

/**
 * Chooses the unit of the axes listed in `axisSet` (one unit shared by them): among s0 xi^k
 * and s0 xi^k / 2, the one whose decomposition has the smallest integers, s0 the smallest
 * non-zero coordinate. Returns false when none decomposes.
 */
bool chooseUnit(Frame& f, const std::vector<std::array<double, 6>>& coords,
                const std::vector<int>& axisSet) {
    const auto at = [&coords](int i, int j) {
        return coords[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
    };
    double largest = 0.0;
    for (int i : axisSet)
        for (int j = 0; j < f.n; ++j) largest = std::max(largest, std::abs(at(i, j)));
    // Coordinates below this are zeros blurred by the basis' rounded constants.
    const double zero = 1e-7 * largest;
    double s0 = 0.0;
    for (int i : axisSet)
        for (int j = 0; j < f.n; ++j) {
            const double c = std::abs(at(i, j));
            if (c > zero && (s0 == 0.0 || c < s0)) s0 = c;
        }
    if (s0 == 0.0) return false;
    double best = -1.0;
    long long bestSum = 0;
    const double xi = f.xi.value;
    for (int k : {0, 1, -1, 2, -2}) {
        for (double half : {1.0, 0.5}) {
            const double unit = s0 * std::pow(xi, k) * half;
            long long sum = 0;
            bool ok = true;
            for (int i : axisSet)
                for (int j = 0; j < f.n && ok; ++j) {
                    long long uu = 0, vv = 0;
                    const double c = at(i, j);
                    ok = std::abs(c) <= zero || decompose(c / unit, xi, uu, vv);
                    sum += std::llabs(uu) + std::llabs(vv);
                }
            if (ok && (best < 0.0 || sum < bestSum)) {
                best = unit;
                bestSum = sum;
            }
        }
    }
    if (best < 0.0) return false;
    for (int i : axisSet) {
        f.unit[i] = best;
        for (int j = 0; j < f.n; ++j) {
            if (std::abs(at(i, j)) > zero) decompose(at(i, j) / best, xi, f.u[i][j], f.v[i][j]);
        }
    }
    return true;
}

/** Three orthogonal twofold axes of the icosahedral parallel lattice (from its fivefold ones). */
void icosahedralAxes(const LatticeBasis& b, Frame& f) {
    std::vector<Eigen::Vector3d> fivefold;
    fivefold.reserve(6);
    for (int j = 0; j < 6; ++j) fivefold.push_back(parallelPart(b, j, 3).normalized());
    std::vector<Eigen::Vector3d> twofold;
    for (int i = 0; i < 6; ++i)
        for (int j = i + 1; j < 6; ++j) {
            const double c =
                fivefold[static_cast<std::size_t>(i)].dot(fivefold[static_cast<std::size_t>(j)]);
            if (std::abs(std::abs(c) - 1.0 / std::sqrt(5.0)) > 1e-6) continue;
            const double sign = c > 0 ? 1.0 : -1.0;
            twofold.push_back((fivefold[static_cast<std::size_t>(i)] +
                               sign * fivefold[static_cast<std::size_t>(j)])
                                  .normalized());
        }
    const Eigen::Vector3d x = twofold.at(0);
    Eigen::Vector3d y = Eigen::Vector3d::Zero();
    for (const auto& t : twofold)
        if (std::abs(t.dot(x)) < 1e-6) {
            y = t;
            break;
        }
    const Eigen::Vector3d z = x.cross(y);
    for (int r = 0; r < 3; ++r) {
        f.axes[0][r] = x[r];
        f.axes[1][r] = y[r];
        f.axes[2][r] = z[r];
    }
}

Frame frameOf(const LatticeBasis& b, QuasicrystalSystem system) {
    Frame f;
    f.n = b.n;
    f.dims = b.n == 6 ? 3 : 2;
    f.xi = irrationalOf(system);
    if (f.dims == 3) {
        icosahedralAxes(b, f);
    } else {
        const double x = b.inverse(0, 0);
        const double y = b.inverse(1, 0);
        const double r = std::hypot(x, y);
        f.axes[0][0] = x / r;
        f.axes[0][1] = y / r;
        f.axes[1][0] = -y / r;
        f.axes[1][1] = x / r;
    }
    std::vector<std::array<double, 6>> coords(3);
    for (int j = 0; j < f.n; ++j) {
        const Eigen::Vector3d p = parallelPart(b, j, f.dims);
        for (int i = 0; i < f.dims; ++i) {
            double c = 0.0;
            for (int r = 0; r < f.dims; ++r) c += f.axes[i][r] * p[r];
            coords[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = c;
        }
    }
    bool ok = true;
    if (f.dims == 3) {
        ok = chooseUnit(f, coords, {0, 1, 2});
    } else {
        ok = chooseUnit(f, coords, {0}) && chooseUnit(f, coords, {1});
    }
    if (!ok) throw std::logic_error("the reciprocal basis has no rational frame");

    // The perpendicular parts are the Galois conjugates under one linear map L.
    Eigen::MatrixXd w(f.dims, f.n), perp(f.dims, f.n);
    for (int j = 0; j < f.n; ++j) {
        const Eigen::Vector3d p = perpendicularPart(b, j, f.dims);
        for (int i = 0; i < f.dims; ++i) {
            w(i, j) =
                static_cast<double>(f.u[i][j]) + f.xi.conjugate * static_cast<double>(f.v[i][j]);
            perp(i, j) = p[i];
        }
    }
    const Eigen::MatrixXd l = perp * w.transpose() * (w * w.transpose()).inverse();
    if ((l * w - perp).norm() > 1e-6 * perp.norm())
        throw std::logic_error("the perpendicular basis is not the conjugate of the parallel one");
    f.perpMap.setIdentity();
    f.perpMap.topLeftCorner(f.dims, f.dims) = l;
    return f;
}

double ratioValue(Ratio r) {
    return static_cast<double>(r.p) / static_cast<double>(r.q);
}

Ratio ratioOnAxis(const Approximant& a, int axis) {
    if (a.system == QuasicrystalSystem::Icosahedral) return a.ratios[0];
    return a.ratios[axis == 1 && a.count == 2 ? 1 : 0];
}

/** c = (r - xi) / (r - xi'): the fraction of the conjugate taken off each coordinate. */
double conjugateFraction(const Frame& f, Ratio ratio) {
    const double r = ratioValue(ratio);
    return (r - f.xi.value) / (r - f.xi.conjugate);
}

bool readRatio(std::string_view text, Ratio& ratio) {
    const auto slash = text.find('/');
    if (slash == std::string_view::npos) return false;
    const auto readInt = [](std::string_view t, int& value) {
        while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
        while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
        if (t.empty()) return false;
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
        return ec == std::errc() && end == t.data() + t.size() && value >= 1 && value <= 9999;
    };
    return readInt(text.substr(0, slash), ratio.p) && readInt(text.substr(slash + 1), ratio.q);
}

bool consecutiveFibonacci(Ratio r) {
    long long a = 1, b = 1;  // F(n), F(n+1)
    while (a <= 9999) {
        if (r.q == a && r.p == b) return true;
        const long long next = a + b;
        a = b;
        b = next;
    }
    return false;
}

std::string fixed4(double v) {
    return printedNumber("%.4f", v);
}

}  // namespace

std::optional<Approximant> parseApproximant(std::string_view text, QuasicrystalSystem system,
                                            std::string& error) {
    Approximant a;
    a.system = system;
    if (system == QuasicrystalSystem::Icosahedral) {
        if (!readRatio(text, a.ratios[0]) || !consecutiveFibonacci(a.ratios[0])) {
            error =
                "The approximant of an icosahedral run is a ratio of consecutive Fibonacci "
                "numbers: 1/1, 2/1, 3/2, 5/3, 8/5, ...";
            return std::nullopt;
        }
        a.ratios[1] = a.ratios[0];
        return a;
    }
    const auto comma = text.find(',');
    const bool two = comma != std::string_view::npos;
    if (!readRatio(text.substr(0, comma), a.ratios[0]) ||
        (two && !readRatio(text.substr(comma + 1), a.ratios[1]))) {
        error =
            "The approximant of an axial run is P/Q or P/Q,R/S (positive whole numbers up to "
            "9999), the ratios along the two in-plane axes.";
        return std::nullopt;
    }
    a.count = two ? 2 : 1;
    if (!two) a.ratios[1] = a.ratios[0];
    return a;
}

std::string approximantText(const Approximant& a) {
    const auto one = [](Ratio r) { return std::to_string(r.p) + "/" + std::to_string(r.q); };
    std::string text = one(a.ratios[0]);
    if (a.count == 2) {
        text += ',';
        text += one(a.ratios[1]);
    }
    return text;
}

PhasonStrain approximantStrain(const LatticeBasis& basis, const Approximant& approximant) {
    const Frame f = frameOf(basis, approximant.system);
    // H_par' = R^T [diag(s)(U + xi V) - D (U + xi' V)] with D = diag(c_i s_i), so
    // M^T = R^T D L^-1.
    Eigen::Matrix3d r = Eigen::Matrix3d::Zero();
    Eigen::Matrix3d d = Eigen::Matrix3d::Zero();
    for (int i = 0; i < f.dims; ++i) {
        for (int k = 0; k < f.dims; ++k) r(i, k) = f.axes[i][k];
        d(i, i) = conjugateFraction(f, ratioOnAxis(approximant, i)) * f.unit[i];
    }
    const Eigen::MatrixXd lInverse = f.perpMap.topLeftCorner(f.dims, f.dims).inverse();
    const Eigen::MatrixXd mT =
        r.topLeftCorner(f.dims, f.dims).transpose() * d.topLeftCorner(f.dims, f.dims) * lInverse;
    PhasonStrain strain;
    strain.size = f.dims;
    for (int i = 0; i < f.dims; ++i)
        for (int j = 0; j < f.dims; ++j)
            strain.values[static_cast<std::size_t>(i * f.dims + j)] = mT(j, i);
    return strain;
}

ApproximantCell approximantCell(const LatticeBasis& basis, const Approximant& approximant) {
    const Frame f = frameOf(basis, approximant.system);
    ApproximantCell cell;
    cell.n = f.n;
    cell.cubic = f.dims == 3;
    long long rows[3][6] = {};
    long long common = 0;
    for (int i = 0; i < f.dims; ++i) {
        const Ratio ratio = ratioOnAxis(approximant, i);
        long long g = 0;
        for (int j = 0; j < f.n; ++j) {
            rows[i][j] = ratio.q * f.u[i][j] + ratio.p * f.v[i][j];
            g = std::gcd(g, rows[i][j]);
        }
        if (!cell.cubic) {
            const double lambda = f.unit[i] * (1.0 - conjugateFraction(f, ratio));
            cell.constants[static_cast<std::size_t>(i)] =
                ratio.q / (lambda * static_cast<double>(g));
            for (int j = 0; j < f.n; ++j) rows[i][j] /= g;
        }
        common = std::gcd(common, g);
    }
    if (cell.cubic) {
        const Ratio ratio = approximant.ratios[0];
        const double lambda = f.unit[0] * (1.0 - conjugateFraction(f, ratio));
        cell.constants.fill(ratio.q / (lambda * static_cast<double>(common)));
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 6; ++j) rows[i][j] /= common;
    } else {
        // The periodic axis: c is the period of row 4 (par z).
        double smallest = 0.0;
        for (int j = 0; j < f.n; ++j) {
            const double z = std::abs(basis.inverse(4, j));
            if (z > 1e-12 && (smallest == 0.0 || z < smallest)) smallest = z;
        }
        cell.constants[2] = 1.0 / smallest;
        for (int j = 0; j < f.n; ++j)
            rows[2][j] = std::llround(basis.inverse(4, j) * cell.constants[2]);
    }
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < f.n; ++j)
            cell.indexMatrix[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] =
                static_cast<int>(rows[i][j]);
    for (int i = 0; i < f.dims; ++i)
        for (int r = 0; r < f.dims; ++r)
            cell.vectors[static_cast<std::size_t>(i)][static_cast<std::size_t>(r)] =
                cell.constants[static_cast<std::size_t>(i)] * f.axes[i][r];
    if (!cell.cubic) cell.vectors[2] = {0.0, 0.0, cell.constants[2]};
    return cell;
}

std::array<int, 3> cellIndicesOf(const ApproximantCell& cell, const std::array<int, 6>& h) {
    std::array<int, 3> hkl{};
    for (std::size_t r = 0; r < 3; ++r) {
        int sum = 0;
        for (std::size_t j = 0; j < static_cast<std::size_t>(cell.n); ++j)
            sum += cell.indexMatrix[r][j] * h[j];
        hkl[r] = sum / cell.divisor[r];
    }
    return hkl;
}

std::string approximantCellText(const Approximant& approximant, const ApproximantCell& cell) {
    std::string text = "approximant " + approximantText(approximant) + ", ";
    if (cell.cubic) return text + "cubic a = " + fixed4(cell.constants[0]) + " A";
    return text + "orthorhombic a = " + fixed4(cell.constants[0]) +
           ", b = " + fixed4(cell.constants[1]) + ", c = " + fixed4(cell.constants[2]) + " A";
}

}  // namespace tesral
