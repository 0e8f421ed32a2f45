#pragma once

#include <cstddef>

namespace tesral {

/**
 * Maps the whole pages inside a not yet touched part of a buffer ahead of use, in one
 * request, so that filling it does not stop at a page fault every few rows. Meant for the
 * part one worker is about to fill; does nothing where the system offers no such request.
 */
void prefaultPages(void* data, std::size_t bytes);

}  // namespace tesral
