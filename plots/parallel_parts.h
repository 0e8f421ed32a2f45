#pragma once

#include <cstddef>
#include <functional>

namespace tesral {

/**
 * How many parts `items` split into: one per core, but none smaller than `minimumPerPart`
 * items; at least 1.
 */
int partsFor(std::size_t items, std::size_t minimumPerPart);

/**
 * Runs work(part) for part 0 .. parts - 1 at once: part 0 on the calling thread, every other
 * part on a thread of its own. Returns when all have ended; an exception of any part, or a
 * thread that cannot start, is rethrown once every started part has been joined.
 */
void runParts(int parts, const std::function<void(int part)>& work);

}  // namespace tesral
