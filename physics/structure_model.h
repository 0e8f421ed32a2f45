#pragma once

#include <optional>
#include <string>
#include <vector>

#include "lattice/phason_strain.h"

namespace tesral::physics {

/** The shape of an occupation domain in perpendicular space. */
enum class DomainShape {
    Sphere,  // radius R, icosahedral (three-dimensional perpendicular space)
    Disc,    // radius R, axial systems (two-dimensional perpendicular space)
    Window,  // the exact window of the system's canonical tiling
};

struct OccupationDomain {
    DomainShape shape = DomainShape::Sphere;
    /** Sphere or disc radius, angstrom. */
    double radius = 0.0;
    /** Window: linear scale of the tiling's own window (1 = the tiling's). */
    double scale = 1.0;
    /** Decagonal window: 0 the decagon, 1..4 the pentagon at height k/5 of the Penrose tiling. */
    int pentagon = 0;
    /** A shell: the inner radius (sphere, disc; angstrom) or inner scale (window); 0 for none. */
    double innerRadius = 0.0;
    double innerScale = 0.0;

    bool operator==(const OccupationDomain&) const = default;
};

/** One site of the higher-dimensional cell. */
struct Site {
    /** Unique in a model when set ("Pd1"); refinement parameters name a site by it. */
    std::string label;
    /** Element symbol as written ("Al", "Pd"). */
    std::string element;
    /** Fractions of the direct basis, in the reflections' index order (5 or 6 numbers). */
    std::vector<double> position;
    double occupancy = 1.0;
    OccupationDomain domain;
    /** Debye-Waller parameters, square angstrom. */
    double bParallel = 0.0;
    double bPerpendicular = 0.0;
    /** Line of the model file where the site's table starts; 0 when not read from a file. */
    int line = 0;

    bool operator==(const Site&) const = default;
};

enum class RadiationKind { XRay, Electron, Neutron };

struct Radiation {
    RadiationKind kind = RadiationKind::XRay;
    /** Electrons: accelerating voltage, kV. */
    double kilovolts = 200.0;
    /** Neutrons: wavelength, angstrom. X-rays use the run's wavelength. */
    double wavelength = 1.8;

    bool operator==(const Radiation&) const = default;
};

/** A named list of sites and the radiation they are seen with. */
struct StructureModel {
    std::string name;
    std::vector<Site> sites;
    Radiation radiation;
    /** The linear phason strain of the model's runs (a run's own strain overrides it). */
    std::optional<PhasonStrain> phasonStrain;
    /** The file the model was read from; empty when built otherwise. */
    std::string source;

    bool operator==(const StructureModel&) const = default;
};

}  // namespace tesral::physics
