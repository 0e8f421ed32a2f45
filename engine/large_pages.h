#pragma once

#include <cstddef>

namespace tesral {

/**
 * Maps the pages of a large, not yet touched buffer ahead of use, spread over the cores, so
 * that filling it does not stop at a page fault every few rows. Does nothing where the
 * system offers no such request.
 */
void prefaultPages(void* data, std::size_t bytes);

}  // namespace tesral
