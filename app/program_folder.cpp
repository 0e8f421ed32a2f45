#include "app/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <csignal>

#include "report/config_file.h"

namespace tesral {

QString defaultWorkingFolder() {
    const QString own = QCoreApplication::applicationDirPath();
    if (!own.isEmpty() && QFileInfo(own).isWritable()) return own;
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(user);
    return user;
}

QString configFile() {
    const QString name = QString::fromLatin1(kConfigFileName.data(), kConfigFileName.size());
    const QByteArray chosen = qgetenv("TESRAL_CONFIG_DIR");
    if (!chosen.isEmpty()) return QDir(QFile::decodeName(chosen)).filePath(name);
    const QString own = QCoreApplication::applicationDirPath();
    if (!own.isEmpty() && QFileInfo(own).isWritable()) return QDir(own).filePath(name);
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(name);
}

bool regularOrAbsent(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

void reportWriteSignalsAsErrors() {
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace tesral
