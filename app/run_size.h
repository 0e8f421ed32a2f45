#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "engine/box_count.h"
#include "report/large_run.h"

namespace tesral {

/** A count with its digits grouped by commas: "3,486,784,401". */
QString groupedCount(BoxCount value);

/** A byte count in the largest fitting decimal unit, rounded up: "279 GB", "1 MB". */
QString byteSizeText(BoxCount bytes);

/** What a run may need, and what the machine has free (nothing where unknown). */
struct RunSize : RunNeeds {
    std::optional<std::uint64_t> freeMemory;
    std::optional<std::uint64_t> freeDisk;
    QString listFolder;  // where the list file goes

    /** More rows than `askAbove`, or more memory or disk than is free (isLargeRun). */
    bool worthAsking(BoxCount askAbove = kLargeRunRows) const;
    /** "This run may produce up to N reflections, about M of memory and D of disk. ..." */
    QString question() const;
};

/** Bytes free to this user in `folder`'s file system; nothing where unknown. */
std::optional<std::uint64_t> freeDiskBytes(const QString& folder);

}  // namespace tesral
