#pragma once

#include <array>
#include <string>

#include "physics/structure_model.h"

namespace tesral::physics {

/**
 * Why `element` cannot scatter `kind`: not an element symbol ("Al", case as typed), or an
 * element the radiation's table does not hold. Empty when it can.
 */
std::string elementProblem(const std::string& element, RadiationKind kind);

/**
 * One element's scattering factor for one radiation: X-rays a sum of four Gaussians and a
 * constant (electrons), electrons a sum of five Gaussians (angstrom), neutrons the coherent
 * scattering length (fm, no dependence on s).
 */
class ScatteringFactor {
  public:
    /** Throws std::invalid_argument when elementProblem is not empty. */
    ScatteringFactor(const std::string& element, RadiationKind kind);
    /** The factor at s = sin(theta)/lambda, 1/angstrom. */
    double operator()(double s) const;

  private:
    std::array<double, 5> a_{};
    std::array<double, 5> b_{};
    int terms_ = 0;
    double constant_ = 0.0;
};

/** The relativistic electron wavelength (angstrom) for an accelerating voltage in kV. */
double electronWavelength(double kilovolts);

}  // namespace tesral::physics
