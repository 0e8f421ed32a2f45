#include "physics/refinement_parameters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "physics/model_check.h"
#include "physics/model_refinement.h"

namespace tesral::physics {
namespace {

struct Named {
    const char* name;
    RefinedQuantity quantity;
};

constexpr std::array<Named, 9> kGlobals{{
    {"scale", RefinedQuantity::Scale},
    {"zero", RefinedQuantity::Zero},
    {"a", RefinedQuantity::A},
    {"c", RefinedQuantity::C},
    {"background", RefinedQuantity::Background},
    {"u", RefinedQuantity::U},
    {"v", RefinedQuantity::V},
    {"w", RefinedQuantity::W},
    {"eta", RefinedQuantity::Eta},
}};

constexpr std::array<Named, 7> kSiteFields{{
    {"occupancy", RefinedQuantity::Occupancy},
    {"radius", RefinedQuantity::Radius},
    {"inner_radius", RefinedQuantity::InnerRadius},
    {"inner_scale", RefinedQuantity::InnerScale},
    {"window_scale", RefinedQuantity::WindowScale},
    {"b_par", RefinedQuantity::BParallel},
    {"b_perp", RefinedQuantity::BPerpendicular},
}};

bool round(const Site& site) {
    return site.domain.shape != DomainShape::Window;
}

/** Whether the site has the field to refine. */
bool hasField(const Site& site, RefinedQuantity q) {
    switch (q) {
        case RefinedQuantity::Radius:
            return round(site);
        case RefinedQuantity::InnerRadius:
            return round(site) && site.domain.innerRadius > 0.0;
        case RefinedQuantity::InnerScale:
            return !round(site) && site.domain.innerScale > 0.0;
        case RefinedQuantity::WindowScale:
            return !round(site);
        default:
            return true;
    }
}

const char* lackText(RefinedQuantity q) {
    switch (q) {
        case RefinedQuantity::Radius:
            return "a window, no radius";
        case RefinedQuantity::InnerRadius:
            return "no inner radius (a full sphere or disc, or a window)";
        case RefinedQuantity::InnerScale:
            return "no inner scale (a full window, or a sphere or disc)";
        case RefinedQuantity::WindowScale:
            return "a sphere or disc, no window";
        default:
            return "no such field";
    }
}

template <class S>
auto fieldOf(S& site, RefinedQuantity q) -> decltype(&site.occupancy) {
    switch (q) {
        case RefinedQuantity::Occupancy:
            return &site.occupancy;
        case RefinedQuantity::Radius:
            return &site.domain.radius;
        case RefinedQuantity::InnerRadius:
            return &site.domain.innerRadius;
        case RefinedQuantity::InnerScale:
            return &site.domain.innerScale;
        case RefinedQuantity::WindowScale:
            return &site.domain.scale;
        case RefinedQuantity::BParallel:
            return &site.bParallel;
        default:
            return &site.bPerpendicular;
    }
}

/** "Pd1", or "site 3" for a site without a label. */
std::string siteName(const Site& site, std::size_t index) {
    return site.label.empty() ? "site " + std::to_string(index + 1) : site.label;
}

constexpr const char* kPhason = "phason";

/** Parses "phason.IJ" (1-based, I perpendicular row, J parallel column) into the element's term;
 * -1 when the name is not one, -2 when the element does not exist for `size`. */
int phasonTerm(const std::string& name, int size) {
    if (name.size() != 9 || name.rfind("phason.", 0) != 0) return -1;
    const int i = name[7] - '1', j = name[8] - '1';
    if (i < 0 || i > 8 || j < 0 || j > 8) return -1;
    if (i >= size || j >= size) return -2;
    return i * size + j;
}

/** The isotropic part of `m` along `map`: <m, map> / <map, map>. */
double along(const PhasonStrain& m, const PhasonStrain& map) {
    double dot = 0.0, norm = 0.0;
    for (std::size_t k = 0; k < 9; ++k) {
        dot += m.values[k] * map.values[k];
        norm += map.values[k] * map.values[k];
    }
    return norm > 0.0 ? dot / norm : 0.0;
}

}  // namespace

PhasonStrain phasonIsotropicMap(QuasicrystalSystem system, MatrixConvention convention) {
    PhasonStrain map;
    map.size = phasonStrainSize(system);
    if (map.size == 2) {
        map.values = {1, 0, 0, 1, 0, 0, 0, 0, 0};
    } else {
        // Found as the map taking the perpendicular images of three orthogonal 2-fold axes of
        // one cube to their parallel images (checked by the 1/1 approximant's Gram matrix).
        const double s = convention == MatrixConvention::Steurer ? -1.0 : 1.0;
        map.values = {0, 0, s, 0, 1, 0, 1, 0, 0};
    }
    return map;
}

std::vector<ParameterRef> parameterRefs(const std::vector<std::string>& vary,
                                        const StructureModel& model, QuasicrystalSystem system,
                                        MatrixConvention convention, int backgroundTerms,
                                        std::string& error) {
    std::vector<ParameterRef> refs;
    const bool axial = system != QuasicrystalSystem::Icosahedral;
    const auto fail = [&](const std::string& what) {
        error = what;
        return std::vector<ParameterRef>{};
    };
    for (const std::string& name : vary) {
        for (const ParameterRef& r : refs)
            if (r.name == name || (name == "background" && r.name.rfind("background", 0) == 0))
                return fail(name + " is named twice");
        const auto global = std::find_if(kGlobals.begin(), kGlobals.end(),
                                         [&](const Named& n) { return name == n.name; });
        if (global != kGlobals.end()) {
            if (global->quantity == RefinedQuantity::C && !axial)
                return fail("c: an icosahedral lattice has no c");
            if (global->quantity == RefinedQuantity::Background) {
                for (int t = 0; t < backgroundTerms; ++t)
                    refs.push_back({"background" + std::to_string(t), global->quantity, t, {}, {}});
                continue;
            }
            refs.push_back({name, global->quantity, 0, {}, {}});
            continue;
        }
        const int size = phasonStrainSize(system);
        if (name == kPhason) {
            refs.push_back(
                {name, RefinedQuantity::Phason, 0, {}, phasonIsotropicMap(system, convention)});
            continue;
        }
        if (const int term = phasonTerm(name, size); term != -1) {
            if (term == -2)
                return fail(name + ": the strain of an " +
                            (axial ? std::string("axial system is 2 x 2 (phason.11 to phason.22)")
                                   : std::string("icosahedral system is 3 x 3")));
            refs.push_back({name, RefinedQuantity::PhasonElement, term, {}, {}});
            continue;
        }
        const std::size_t dot = name.rfind('.');
        const std::string field = dot == std::string::npos ? name : name.substr(dot + 1);
        const auto site = std::find_if(kSiteFields.begin(), kSiteFields.end(),
                                       [&](const Named& n) { return field == n.name; });
        if (site == kSiteFields.end())
            return fail(name + ": no such parameter (see the list of names in the help)");
        ParameterRef ref{name, site->quantity, 0, {}, {}};
        if (dot == std::string::npos) {
            for (std::size_t k = 0; k < model.sites.size(); ++k)
                if (hasField(model.sites[k], ref.quantity)) ref.sites.push_back(k);
            if (ref.sites.empty()) return fail(name + ": no site of the model has it");
            // One shared value would overwrite the sites' own different starts.
            const Site& first = model.sites[ref.sites.front()];
            for (const std::size_t k : ref.sites) {
                const Site& other = model.sites[k];
                if (*fieldOf(other, ref.quantity) == *fieldOf(first, ref.quantity)) continue;
                return fail(name + ": the sites hold different values (" +
                            siteName(first, ref.sites.front()) + " and " + siteName(other, k) +
                            "); refine each as LABEL." + name);
            }
        } else {
            const std::string label = name.substr(0, dot);
            const auto labelled = std::find_if(model.sites.begin(), model.sites.end(),
                                               [&](const Site& s) { return s.label == label; });
            if (label.empty() || labelled == model.sites.end())
                return fail(name + ": the model has no site labelled '" + label + "'");
            if (!hasField(*labelled, ref.quantity))
                return fail(name + ": site " + label + " has " + lackText(ref.quantity));
            ref.sites.push_back(static_cast<std::size_t>(labelled - model.sites.begin()));
        }
        // A site refined both alone and shared would have two values.
        for (const ParameterRef& r : refs)
            if (r.onSites() && r.quantity == ref.quantity)
                for (const std::size_t k : ref.sites)
                    if (std::find(r.sites.begin(), r.sites.end(), k) != r.sites.end())
                        return fail(name + " and " + r.name + " refine the same site's value");
        refs.push_back(std::move(ref));
    }
    return refs;
}

double valueOf(const ParameterRef& ref, const RefinementState& state) {
    switch (ref.quantity) {
        case RefinedQuantity::Scale:
            return state.scale;
        case RefinedQuantity::Zero:
            return state.zero;
        case RefinedQuantity::A:
            return state.a;
        case RefinedQuantity::C:
            return state.c;
        case RefinedQuantity::Background:
            return state.background[static_cast<std::size_t>(ref.term)];
        case RefinedQuantity::U:
            return state.shape.u;
        case RefinedQuantity::V:
            return state.shape.v;
        case RefinedQuantity::W:
            return state.shape.w;
        case RefinedQuantity::Eta:
            return state.shape.eta;
        case RefinedQuantity::Phason:
            return along(state.strain, ref.map);
        case RefinedQuantity::PhasonElement:
            return state.strain.values[static_cast<std::size_t>(ref.term)];
        default:
            return *fieldOf(state.model.sites[ref.sites.front()], ref.quantity);
    }
}

void setValue(const ParameterRef& ref, RefinementState& state, double value) {
    switch (ref.quantity) {
        case RefinedQuantity::Scale:
            state.scale = value;
            return;
        case RefinedQuantity::Zero:
            state.zero = value;
            return;
        case RefinedQuantity::A:
            state.a = value;
            return;
        case RefinedQuantity::C:
            state.c = value;
            return;
        case RefinedQuantity::Background:
            state.background[static_cast<std::size_t>(ref.term)] = value;
            return;
        case RefinedQuantity::U:
            state.shape.u = value;
            return;
        case RefinedQuantity::V:
            state.shape.v = value;
            return;
        case RefinedQuantity::W:
            state.shape.w = value;
            return;
        case RefinedQuantity::Eta:
            state.shape.eta = value;
            return;
        case RefinedQuantity::Phason: {
            // Only the isotropic part moves; the rest of the matrix stays.
            const double change = value - along(state.strain, ref.map);
            for (std::size_t k = 0; k < 9; ++k)
                state.strain.values[k] += change * ref.map.values[k];
            return;
        }
        case RefinedQuantity::PhasonElement:
            state.strain.values[static_cast<std::size_t>(ref.term)] = value;
            return;
        default:
            for (const std::size_t k : ref.sites)
                *fieldOf(state.model.sites[k], ref.quantity) = value;
    }
}

double bounded(const ParameterRef& ref, const RefinementState& state, double value) {
    const double tiny = 1e-6;
    switch (ref.quantity) {
        case RefinedQuantity::A:
        case RefinedQuantity::C:
            return std::max(value, tiny);
        case RefinedQuantity::W:
            return std::max(value, 1e-8);
        case RefinedQuantity::Eta:
        case RefinedQuantity::Occupancy:
            return std::clamp(value, 0.0, 1.0);
        case RefinedQuantity::Radius: {
            // Above every shell's inner radius.
            double inner = 0.0;
            for (const std::size_t k : ref.sites)
                inner = std::max(inner, state.model.sites[k].domain.innerRadius);
            return std::clamp(value, inner + tiny, kLargestRadius);
        }
        case RefinedQuantity::InnerRadius: {
            double outer = kLargestRadius;
            for (const std::size_t k : ref.sites)
                outer = std::min(outer, state.model.sites[k].domain.radius);
            return std::clamp(value, tiny, std::max(tiny, outer - tiny));
        }
        case RefinedQuantity::InnerScale: {
            double outer = kLargestScale;
            for (const std::size_t k : ref.sites)
                outer = std::min(outer, state.model.sites[k].domain.scale);
            return std::clamp(value, kSmallestScale, std::max(kSmallestScale, outer - tiny));
        }
        case RefinedQuantity::WindowScale: {
            double inner = 0.0;
            for (const std::size_t k : ref.sites)
                inner = std::max(inner, state.model.sites[k].domain.innerScale);
            return std::clamp(value, std::max(kSmallestScale, inner + tiny), kLargestScale);
        }
        case RefinedQuantity::BParallel:
        case RefinedQuantity::BPerpendicular:
            return std::clamp(value, -kLargestB, kLargestB);
        case RefinedQuantity::Phason:
        case RefinedQuantity::PhasonElement:
            // Far beyond any measured strain (1e-3 to 1e-2), well short of folding the lattice.
            return std::clamp(value, -0.5, 0.5);
        default:
            return value;
    }
}

std::vector<std::string> refinableNames(const StructureModel& model, QuasicrystalSystem system) {
    std::vector<std::string> names;
    for (const Named& g : kGlobals)
        if (g.quantity != RefinedQuantity::C || system != QuasicrystalSystem::Icosahedral)
            names.emplace_back(g.name);
    names.emplace_back(kPhason);
    const int size = phasonStrainSize(system);
    for (int i = 1; i <= size; ++i)
        for (int j = 1; j <= size; ++j)
            names.push_back(std::string(kPhason) + "." + std::to_string(i) + std::to_string(j));
    for (const Named& f : kSiteFields)
        if (std::any_of(model.sites.begin(), model.sites.end(),
                        [&](const Site& s) { return hasField(s, f.quantity); }))
            names.emplace_back(f.name);
    for (const Site& site : model.sites)
        if (!site.label.empty())
            for (const Named& f : kSiteFields)
                if (hasField(site, f.quantity)) names.push_back(site.label + "." + f.name);
    return names;
}

}  // namespace tesral::physics
