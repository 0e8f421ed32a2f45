#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/run_parameters.h"

namespace tesral {

/**
 * The input panel as "Tesral.cfg" keeps it from one use to the next: sixteen lines, the
 * meaning of each given by its position (system list index, group list index, "True" for
 * Yamamoto, a, c, h1..h6, anode list index, theta min, theta max, qi max, search text).
 */
struct ConfigValues {
    /** The typed inputs. The wavelength is not stored: it follows the anode. */
    RunInputs inputs;
    /** Position in the anode list, 0 "Mo" .. 7 "US". */
    int anodePosition = 0;
    /** The text of the list search. */
    std::string searchText = "0   2   2   1   0";
};

inline constexpr int kConfigLineCount = 16;
inline constexpr std::string_view kConfigFileName = "Tesral.cfg";

/**
 * The sixteen lines, each ended by CRLF. Integers are written as BASIC prints them: a blank
 * (or the minus sign), the digits, a blank. Texts are written unchanged, unquoted.
 */
std::string configText(const ConfigValues& values);

/**
 * Applies the lines of `text` to `values` in order, each as soon as it is read, as the
 * window applies them to its controls: the system also selects its default group, the
 * anode also sets the wavelength. Reading stops at the first line that cannot be applied
 * (a missing line, an integer that is not one, a list index out of range, a text holding
 * a control character); the lines before it stay applied. Whole lines are read, so a text
 * holding a comma stays whole; leading blanks are skipped; lines may end in CRLF, LF or a
 * CR alone. Returns how many lines were applied, 0..16.
 */
int applyConfigText(std::string_view text, ConfigValues& values);

/**
 * Reads the file at `path` (bytes as the operating system takes them) into `values` with
 * applyConfigText. A UTF-8 byte-order mark is skipped and UTF-16 text with its mark is read
 * as UTF-8. Returns the number of lines applied, or nothing when the file cannot be read;
 * `reason` then says why, as the operating system does. Only a regular file is read: a
 * named pipe or a device could keep the caller waiting ("not a regular file"). Only the
 * first megabyte is looked at: sixteen field texts never need more.
 */
std::optional<int> readConfigFile(const std::string& path, ConfigValues& values,
                                  std::string* reason = nullptr);

/**
 * Writes configText through the safe writer; returns the reason on failure. Anything but a
 * regular file (or a link to one) is left alone.
 */
std::optional<std::string> writeConfigFile(const std::string& path, const ConfigValues& values);

}  // namespace tesral
