#pragma once

#include <cstdint>
#include <optional>

namespace tesral {

/** Bytes the system can give the program without swapping; nothing where unknown. */
std::optional<std::uint64_t> availableMemoryBytes();

}  // namespace tesral
