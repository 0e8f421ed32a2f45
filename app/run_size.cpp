#include "app/run_size.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tesral {

QString groupedCount(BoxCount value) {
    QString digits;
    int inGroup = 0;
    do {
        if (inGroup == 3) {
            digits.prepend(QLatin1Char(','));
            inGroup = 0;
        }
        digits.prepend(QLatin1Char(static_cast<char>('0' + static_cast<int>(value % 10))));
        value /= 10;
        ++inGroup;
    } while (value > 0);
    return digits;
}

QString byteSizeText(BoxCount bytes) {
    // Decimal units, as disks are sold; nothing is shown below one megabyte.
    const char* units[] = {"MB", "GB", "TB"};
    BoxCount scale = 1'000'000;
    int unit = 0;
    while (unit < 2 && bytes >= scale * 1000) {
        scale *= 1000;
        ++unit;
    }
    const BoxCount rounded = std::max<BoxCount>(1, (bytes + scale - 1) / scale);
    return groupedCount(rounded) + QLatin1Char(' ') + QLatin1String(units[unit]);
}

bool RunSize::worthAsking(BoxCount askAbove) const {
    return isLargeRun(*this, freeMemory, freeDisk, askAbove);
}

QString RunSize::question() const {
    QString text = QStringLiteral(
                       "This run may produce up to %1 reflections, about %2 of memory and %3 "
                       "of disk for the list file in %4.")
                       .arg(groupedCount(rows), byteSizeText(memoryBytes), byteSizeText(diskBytes),
                            QDir::toNativeSeparators(listFolder));
    QStringList free;
    if (freeMemory) free << QStringLiteral("%1 of memory").arg(byteSizeText(*freeMemory));
    if (freeDisk) free << QStringLiteral("%1 of disk").arg(byteSizeText(*freeDisk));
    if (!free.isEmpty()) text += QStringLiteral(" Free now: %1.").arg(free.join(", "));
    return text + QStringLiteral(" Continue?");
}

std::optional<std::uint64_t> freeDiskBytes(const QString& folder) {
    std::error_code error;
    const auto space = std::filesystem::space(QFile::encodeName(folder).toStdString(), error);
    if (error) return std::nullopt;
    return space.available;
}

}  // namespace tesral
