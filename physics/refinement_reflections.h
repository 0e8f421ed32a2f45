#pragma once

// The reflections a model refinement works with, taken once from a run: their |F|^2 at any
// lattice constants and model without a new run, grouped into powder lines or kept one by one.

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "engine/generation.h"
#include "lattice/phason_strain.h"
#include "physics/powder_lines.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/** Reflections that share one |F|^2 sum: a powder line, or one reflection of a list. */
struct ReflectionGroup {
    std::size_t first = 0, last = 0;  // members [first, last) of the kept rows
    /** |H-par|^2 split as PowderLine's, 1/angstrom^2 at the run's a and c. */
    double plane2 = 0.0, axis2 = 0.0;
    double hPerp = 0.0;  // 1/angstrom at the run's a
    std::array<int, 6> indices{};
    std::optional<IcosahedralLabel> label;
    /** With strain directions: one member's parallel in-plane (3 icosahedral, 2 axial) and
     * perpendicular parts, 1/angstrom at the run's a and strain; equal positions for every
     * strain in the directions' span. */
    std::array<double, 3> par{}, perp{};
};

/** |H_par - delta^T H_perp|^2 of the in-plane parts (`delta.size` components each). */
double strainedPlane2(const std::array<double, 3>& par, const std::array<double, 3>& perp,
                      const PhasonStrain& delta);

class RefinementReflections {
  public:
    /**
     * Keeps `rows` of a completed run. `lines`: sorted by 2-theta and grouped into powder
     * lines (reflections of equal plane and axis lengths); otherwise one group per row, in
     * the order given. `strainDirections` (the strains the refinement moves along, if any):
     * the lines are split into the reflections that stay together under any strain of their span,
     * and each reflection keeps its parallel and perpendicular parts.
     */
    RefinementReflections(const RunResult& run, const std::vector<std::size_t>& rows, bool lines,
                          const std::vector<PhasonStrain>& strainDirections = {});

    const std::vector<ReflectionGroup>& groups() const { return groups_; }
    int dimension() const { return shell_.basis.n; }
    double runA() const { return shell_.parameters.a; }
    double runC() const { return shell_.parameters.c; }
    QuasicrystalSystem system() const { return shell_.parameters.system; }
    /** The run's own strain (zero when it has none), which the kept parts include. */
    const PhasonStrain& runStrain() const { return runStrain_; }

    /**
     * Sum of |F|^2 over each group's members for `model` at lattice constants a and c. Throws
     * what StructureFactor throws (a window that cannot be built). `delta`: a strain beyond the
     * run's (needs strain directions), moving |H_par| of each reflection.
     */
    std::vector<double> groupIntensities(const StructureModel& model, double a, double c,
                                         const PhasonStrain* delta = nullptr) const;

  private:
    RunResult shell_;  // the run's numbers without its table
    std::vector<ReflectionRecord> rows_;
    std::vector<double> plane2_, axis2_;
    /** 2 for a reflection that stands for its Friedel mate too (|F(-h)| = |F(h)|), else 1. */
    std::vector<double> weight_;
    std::vector<ReflectionGroup> groups_;
    PhasonStrain runStrain_;
    std::vector<std::array<double, 3>> par_, perp_;  // with strain directions only
};

/** 1/d^2 (1/angstrom^2) of a group at lattice constants a and c. */
inline double inverseD2(const ReflectionGroup& g, double aRatio2, double cRatio2) {
    return g.plane2 * aRatio2 + g.axis2 * cRatio2;
}

}  // namespace tesral::physics
