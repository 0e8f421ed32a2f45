#include "app/documents.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <memory>

namespace tesral {

namespace {

bool isWebAddress(const QUrl& url) {
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

void showProblem(QWidget* parent, const QString& text) {
    const QString title = parent ? parent->window()->windowTitle() : QString();
    QMessageBox::warning(parent, title.isEmpty() ? QStringLiteral("Tesral") : title, text);
}

/** The launcher's last words on stderr, kept short. */
constexpr qsizetype kKeptErrorBytes = 4096;

/**
 * Starts `launcher` on the URL and reports, when it ends without success, the last line it
 * wrote to stderr. No shell is involved.
 */
bool launchWatched(const QString& launcher, const QUrl& url,
                   const std::function<void(const QString&)>& failed) {
    // Without a parent: the program the launcher becomes may outlive the window and must not
    // be ended with it.
    auto* process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    auto errors = std::make_shared<QByteArray>();
    QObject::connect(process, &QProcess::readyReadStandardError, [process, errors] {
        *errors += process->readAllStandardError();
        if (errors->size() > kKeptErrorBytes) *errors = errors->right(kKeptErrorBytes);
    });
    QObject::connect(process, &QProcess::finished,
                     [process, errors, failed, launcher](int code, QProcess::ExitStatus status) {
                         *errors += process->readAllStandardError();
                         process->deleteLater();
                         if (status == QProcess::NormalExit && code == 0) return;
                         const QStringList lines = QString::fromLocal8Bit(*errors).split(
                             QLatin1Char('\n'), Qt::SkipEmptyParts);
                         failed(lines.isEmpty() ? QStringLiteral("%1 ended with code %2")
                                                      .arg(QFileInfo(launcher).fileName())
                                                      .arg(code)
                                                : lines.last().trimmed());
                     });
    process->start(launcher, {url.isLocalFile() ? url.toLocalFile() : url.toString()});
    if (process->waitForStarted()) return true;
    delete process;
    return false;
}

bool openOnDesktop(const QUrl& url, const std::function<void(const QString&)>& failed) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!launcher.isEmpty()) return launchWatched(launcher, url, failed);
#endif
    return QDesktopServices::openUrl(url);
}

UrlOpener& urlOpener() {
    static UrlOpener opener = openOnDesktop;
    return opener;
}

}  // namespace

void setUrlOpener(UrlOpener opener) {
    urlOpener() = opener ? std::move(opener) : UrlOpener(openOnDesktop);
}

QString documentProblem(const QString& target, bool exists, const QString& reason) {
    const QString shown = QDir::toNativeSeparators(target);
    if (!exists) return QStringLiteral("The file %1 does not exist.").arg(shown);
    if (!reason.isEmpty())
        return QStringLiteral("No program on this desktop opens %1 (%2).").arg(shown, reason);
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
    const QPointer<QWidget> owner(parent);
    const auto failed = [owner, target](const QString& reason) {
        showProblem(owner, documentProblem(target, true, reason));
    };
    if (!urlOpener()(web ? url : QUrl::fromLocalFile(target), failed))
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
