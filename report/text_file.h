#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tesral {

/**
 * Up to `limit` bytes of the regular file at `path` (bytes as the operating system takes
 * them). Anything else is refused without waiting on it: a folder ("Is a directory"), a
 * named pipe or a device ("not a regular file"). Nothing when the file cannot be read;
 * `reason` then says why, as the operating system does. A caller that must not cut a file
 * asks for one byte more than it takes and refuses a file that fills it.
 */
std::optional<std::string> readRegularFile(const std::string& path, std::size_t limit,
                                           std::string& reason);

/**
 * The text of a file as UTF-8: a UTF-8 byte-order mark dropped, UTF-16 with its mark
 * converted (an unpaired surrogate becomes U+FFFD); anything else unchanged.
 */
std::string utf8Text(const std::string& bytes);

}  // namespace tesral
