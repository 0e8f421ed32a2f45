#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "report/safe_file.h"

namespace tesral {

/** A path as the operating system takes it, for the Qt-free writers and readers. */
inline std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

/**
 * writeFileSafely for a Qt path: nothing on success, else the system's reason. The window's
 * own working files beside the program pass RegularFilesOnly, so a pipe or a device left
 * under their name is reported instead of written.
 */
inline std::optional<QString> writeBytesSafely(
    const QString& path, std::string_view bytes,
    SafeFile::Accept accept = SafeFile::Accept::AnyFile) {
    if (const auto failure = writeFileSafely(nativePath(path), bytes, accept))
        return QString::fromStdString(*failure);
    return std::nullopt;
}

inline std::optional<QString> writeBytesSafely(
    const QString& path, const QByteArray& bytes,
    SafeFile::Accept accept = SafeFile::Accept::AnyFile) {
    return writeBytesSafely(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), accept);
}

}  // namespace tesral
