#pragma once

// The window's intensity settings, kept from one use to the next in a second file beside
// Tesral.cfg, so that Tesral.cfg keeps its sixteen lines.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "physics/structure_model.h"

namespace tesral {

/** The intensity model of the window and whether runs use it. */
struct IntensitySettings {
    /** No sites: no model. */
    physics::StructureModel model;
    /** The input panel's "use intensities". */
    bool use = false;

    bool operator==(const IntensitySettings&) const = default;
};

inline constexpr std::string_view kIntensitySettingsFileName = "Tesral-intensities.toml";

/**
 * The settings as a model file with one more line at its top, `use_intensities = true` (or
 * false); a model without sites is left out. tesral-cli --model reads the file once that
 * line is taken out.
 */
std::string intensitySettingsText(const IntensitySettings& settings);

/** What reading the settings gave: the settings, or the first thing wrong ("file:line: ..."). */
struct IntensitySettingsLoad {
    std::optional<IntensitySettings> settings;
    std::string error;
};

/**
 * Reads intensitySettingsText. The `use_intensities` line is looked for as the first key and
 * may be missing (a plain model file: not used); the rest is read as a model file named
 * `source`. Text of nothing but comments and blank lines holds no model. Nothing is read
 * from a text with anything wrong in it. The model forgets its source and lines: its sites
 * are the window's own.
 */
IntensitySettingsLoad parseIntensitySettings(std::string_view text, const std::string& source);

/** Where the settings live: beside Tesral.cfg (configFile()). */
QString intensitySettingsFile();

/**
 * Reads the file at `path`: nothing at all when it does not exist, the settings, or why they
 * were not read ("file:line: ...", and that the file is kept and where the settings go).
 * Only a regular file is read, whole (at most a model file's size); a byte-order mark and
 * UTF-16 are read as Tesral.cfg is.
 */
std::optional<IntensitySettingsLoad> readIntensitySettings(const QString& path);

/** Where the settings go while the file at `path` cannot be read: beside it. */
QString intensitySettingsBeside(const QString& path);

/**
 * Writes the settings to `path` through the safe writer; a file there that cannot be read
 * is never replaced: the settings go to intensitySettingsBeside(path) instead. Anything but
 * a regular file is left alone. Returns the reason on failure.
 */
std::optional<QString> writeIntensitySettings(const QString& path,
                                              const IntensitySettings& settings);

}  // namespace tesral
