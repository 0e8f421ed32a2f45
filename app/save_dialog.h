#pragma once

#include <QString>

class QWidget;

namespace tesral {

/**
 * `path` with "." + `suffix` added when its file name has no extension ("mylist" becomes
 * "mylist.hkl", "mylist." becomes "mylist.hkl"); a name with any extension stays.
 */
QString withDefaultSuffix(const QString& path, const QString& suffix);

/**
 * A save dialog with `suggested` filled in; the name the user chose, with `suffix` added when
 * it has no extension, or an empty text when the dialog was cancelled.
 */
QString askSavePath(QWidget* parent, const QString& caption, const QString& suggested,
                    const QString& filter, const QString& suffix);

}  // namespace tesral
