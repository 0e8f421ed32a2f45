#include "app/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tesral {

QString programFolder() {
    static const QString folder = [] {
        const QString own = QCoreApplication::applicationDirPath();
        if (!own.isEmpty() && QFileInfo(own).isWritable()) return own;
        const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(user);
        return user;
    }();
    return folder;
}

QString programFile(const QString& name) {
    return QDir(programFolder()).filePath(name);
}

QString dataFolder() {
    const QString folder = programFile(QStringLiteral("data"));
    QDir().mkpath(folder);
    return folder;
}

}  // namespace tesral
