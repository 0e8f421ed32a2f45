#include "app/documents.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QUrl>

namespace tesral {

namespace {

bool isWebAddress(const QUrl& url) {
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

void showProblem(QWidget* parent, const QString& text) {
    const QString title = parent ? parent->window()->windowTitle() : QString();
    QMessageBox::warning(parent, title.isEmpty() ? QStringLiteral("Tesral") : title, text);
}

}  // namespace

QString documentProblem(const QString& target, bool exists) {
    const QString shown = QDir::toNativeSeparators(target);
    if (!exists) return QStringLiteral("The file %1 does not exist.").arg(shown);
    QString problem = QStringLiteral("No program on this desktop opens %1.").arg(shown);
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Qt hands documents to xdg-open on these desktops.
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        problem += QStringLiteral(" The program xdg-open is not installed.");
#endif
    return problem;
}

void openDocument(QWidget* parent, const QString& target) {
    const QUrl url(target);
    const bool web = isWebAddress(url);
    if (!web && !QFileInfo::exists(target)) {
        showProblem(parent, documentProblem(target, false));
        return;
    }
    if (!QDesktopServices::openUrl(web ? url : QUrl::fromLocalFile(target)))
        showProblem(parent, documentProblem(target, true));
}

QStringList documentationFolders() {
    const QDir program(QCoreApplication::applicationDirPath());
    QStringList folders{program.filePath(QStringLiteral("doc")),
                        QStringLiteral(TESRAL_BUILD_DOC_DIR),
                        QDir::cleanPath(program.filePath(QStringLiteral(TESRAL_INSTALLED_DOC_DIR))),
                        QStringLiteral(TESRAL_PREFIX_DOC_DIR)};
    folders.removeDuplicates();
    return folders;
}

QString documentationPage(const QString& name) {
    for (const QString& folder : documentationFolders()) {
        const QString page = QDir(folder).filePath(name);
        if (QFileInfo::exists(page)) return page;
    }
    return QString();
}

QString missingPageMessage(const QString& name) {
    QStringList folders;
    for (const QString& folder : documentationFolders())
        folders << QDir::toNativeSeparators(folder);
    return QStringLiteral("The manual page %1 is not installed. It was looked for in:\n%2")
        .arg(name, folders.join(QLatin1Char('\n')));
}

void openManualPage(QWidget* parent, const QString& name) {
    const QString page = documentationPage(name);
    if (page.isEmpty())
        showProblem(parent, missingPageMessage(name));
    else
        openDocument(parent, page);
}

}  // namespace tesral
