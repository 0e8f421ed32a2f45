#include "app/documents.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace tesral {

void openDocument(const QString& target) {
    const QUrl url(target);
    const bool web =
        url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    QDesktopServices::openUrl(web ? url : QUrl::fromLocalFile(target));
}

QString documentationPage(const QString& name) {
    const QDir program(QCoreApplication::applicationDirPath());
    const QString beside = program.filePath(QStringLiteral("doc/") + name);
    if (QFileInfo::exists(beside)) return beside;
    // The relative path from the installed program to the installed documentation.
    const QString installed =
        QDir::cleanPath(program.filePath(QStringLiteral(TESRAL_INSTALLED_DOC_DIR "/") + name));
    return QFileInfo::exists(installed) ? installed : beside;
}

}  // namespace tesral
