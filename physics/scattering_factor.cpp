#include "physics/scattering_factor.h"

#include <gemmi/c4322.hpp>
#include <gemmi/elem.hpp>
#include <gemmi/it92.hpp>
#include <gemmi/neutron92.hpp>

#include <cctype>
#include <cmath>
#include <stdexcept>

namespace tesral::physics {
namespace {

/** The element `symbol` names exactly (one or two letters, any case); El::X when none. */
gemmi::El elementOf(const std::string& symbol) {
    if (symbol.empty() || symbol.size() > 2) return gemmi::El::X;
    const gemmi::El el = gemmi::find_element(symbol.c_str());
    const char* name = gemmi::element_name(el);
    for (std::size_t i = 0; i < symbol.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(symbol[i])) !=
            std::toupper(static_cast<unsigned char>(name[i])))
            return gemmi::El::X;
    return name[symbol.size()] == '\0' ? el : gemmi::El::X;
}

const char* tableName(RadiationKind kind) {
    switch (kind) {
        case RadiationKind::XRay:
            return "X-ray scattering factor";
        case RadiationKind::Electron:
            return "electron scattering factor";
        case RadiationKind::Neutron:
            return "neutron scattering length";
    }
    return "";
}

bool tableHolds(gemmi::El el, RadiationKind kind) {
    switch (kind) {
        case RadiationKind::XRay:
            return gemmi::IT92<double>::has(el);
        case RadiationKind::Electron:
            return gemmi::C4322<double>::has(el);
        case RadiationKind::Neutron:
            return gemmi::Neutron92<double>::has(el);
    }
    return false;
}

}  // namespace

std::string elementProblem(const std::string& element, RadiationKind kind) {
    const gemmi::El el = elementOf(element);
    if (el == gemmi::El::X) return "element '" + element + "' is not an element symbol";
    if (!tableHolds(el, kind))
        return "element '" + element + "' has no " + tableName(kind) + " in the tables";
    return {};
}

ScatteringFactor::ScatteringFactor(const std::string& element, RadiationKind kind) {
    if (const std::string problem = elementProblem(element, kind); !problem.empty())
        throw std::invalid_argument(problem);
    const gemmi::El el = elementOf(element);
    switch (kind) {
        case RadiationKind::XRay: {
            const auto& coef = gemmi::IT92<double>::get(el);
            terms_ = 4;
            for (int i = 0; i < terms_; ++i) {
                a_[static_cast<std::size_t>(i)] = coef.a(i);
                b_[static_cast<std::size_t>(i)] = coef.b(i);
            }
            constant_ = coef.c();
            break;
        }
        case RadiationKind::Electron: {
            const auto& coef = gemmi::C4322<double>::get(el);
            terms_ = 5;
            for (int i = 0; i < terms_; ++i) {
                a_[static_cast<std::size_t>(i)] = coef.a(i);
                b_[static_cast<std::size_t>(i)] = coef.b(i);
            }
            break;
        }
        case RadiationKind::Neutron:
            constant_ = gemmi::Neutron92<double>::get(el).c();
            break;
    }
}

double ScatteringFactor::operator()(double s) const {
    const double s2 = s * s;
    double f = constant_;
    for (int i = 0; i < terms_; ++i)
        f += a_[static_cast<std::size_t>(i)] * std::exp(-b_[static_cast<std::size_t>(i)] * s2);
    return f;
}

double electronWavelength(double kilovolts) {
    constexpr double kPlanck = 6.62607015e-34;           // J s
    constexpr double kElectronMass = 9.1093837015e-31;   // kg
    constexpr double kCharge = 1.602176634e-19;          // C
    constexpr double kLight = 299792458.0;               // m/s
    const double energy = kCharge * kilovolts * 1000.0;  // J
    const double momentum = std::sqrt(2.0 * kElectronMass * energy *
                                      (1.0 + energy / (2.0 * kElectronMass * kLight * kLight)));
    return kPlanck / momentum * 1e10;
}

}  // namespace tesral::physics
