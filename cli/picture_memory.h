#pragma once

#include <QSize>
#include <cstdint>
#include <optional>

#include "plots/plot_picture.h"

namespace tesral::cli {

/**
 * The most memory drawing `spots` spots into a picture of `format` and `size` takes, with
 * some room to spare: the vector formats keep every spot's drawing commands until the file
 * is complete, the bitmaps the image and its encoding. Index labels add as much again.
 */
std::uint64_t pictureBytes(PictureFormat format, std::uint64_t spots, QSize size, bool labels);

/**
 * Bytes the process may still take: what its address-space limit (ulimit -v) leaves and
 * what the system has available, the smaller of the two; nothing where neither is known.
 */
std::optional<std::uint64_t> memoryHeadroom();

}  // namespace tesral::cli
