#pragma once

// The model file's names: its keys with the dialog's column headings, and its enums' words.
// Reading, writing, messages and the dialog all take them from here.

#include <array>
#include <optional>
#include <string_view>

#include "physics/structure_model.h"

namespace tesral::physics {

/** A key of a [[site]] table and the heading of its column in the model dialog. */
struct SiteKey {
    std::string_view key;
    std::string_view heading;  // UTF-8
};

/** The keys of a [[site]] table, in the order a file and the dialog's columns have them. */
inline constexpr std::array<SiteKey, 12> kSiteKeys{{
    {"label", "label"},
    {"element", "element"},
    {"position", "position"},
    {"domain", "domain"},
    {"radius", "R (\u212b)"},
    {"inner_radius", "R inner (\u212b)"},
    {"scale", "scale"},
    {"inner_scale", "inner scale"},
    {"pentagon", "pentagon"},
    {"occupancy", "occupancy"},
    {"b_par", "B\u2225 (\u212b\u00b2)"},
    {"b_perp", "B\u22a5 (\u212b\u00b2)"},
}};

inline constexpr std::array<std::string_view, 3> kRadiationKeys{"kind", "kilovolts", "wavelength"};
inline constexpr std::array<std::string_view, 4> kModelKeys{"name", "radiation", "phason", "site"};
inline constexpr std::array<std::string_view, 1> kPhasonKeys{"strain"};

/** The words of the enums, in enum order. */
inline constexpr std::array<std::string_view, 3> kRadiationNames{"xray", "electron", "neutron"};
inline constexpr std::array<std::string_view, 3> kDomainNames{"sphere", "disc", "window"};

inline std::string_view nameOf(RadiationKind kind) {
    return kRadiationNames[static_cast<std::size_t>(kind)];
}
inline std::string_view nameOf(DomainShape shape) {
    return kDomainNames[static_cast<std::size_t>(shape)];
}

/** The enum value a word names; nothing for a word the format does not know. */
template <class Enum, std::size_t N>
std::optional<Enum> enumNamed(const std::array<std::string_view, N>& names, std::string_view word) {
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == word) return static_cast<Enum>(i);
    return std::nullopt;
}

/** The dialog's heading of a site key ("b_par": "B∥ (Å²)"); the key itself when unknown. */
inline std::string_view headingOf(std::string_view key) {
    for (const SiteKey& k : kSiteKeys)
        if (k.key == key) return k.heading;
    return key;
}

}  // namespace tesral::physics
