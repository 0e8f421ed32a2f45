#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QUrl;
class QWidget;

namespace tesral {

/**
 * Hands a web address (http, https) or a file path to the desktop's default handler,
 * without waiting; nothing goes through a shell. A file that does not exist, or a desktop
 * that takes nothing, is said in a message box over `parent`.
 */
void openDocument(QWidget* parent, const QString& target);

/**
 * Why `target` was not shown: a missing file, or no program on the desktop to open it
 * (`reason`, when given, is what the desktop's launcher said).
 */
QString documentProblem(const QString& target, bool exists, const QString& reason = QString());

/**
 * Hands a URL to the desktop: false when nothing takes it at all; a launcher that fails
 * afterwards calls `failed` with its reason.
 */
using UrlOpener =
    std::function<bool(const QUrl& url, const std::function<void(const QString&)>& failed)>;

/**
 * Replaces how URLs reach the desktop (tests take them instead); an empty one restores the
 * default: xdg-open, watched until it ends, where it is installed, else Qt's desktop services.
 */
void setUrlOpener(UrlOpener opener);

/**
 * The folders the manual is looked for in, in order: "doc" beside the program, the build
 * tree's copy, the installed copy relative to the program, the installed copy below the
 * install prefix.
 */
QStringList documentationFolders();

/** A page of the manual from the first folder that has it; empty when none has. */
QString documentationPage(const QString& name);

/** The message for a manual page that none of the folders holds. */
QString missingPageMessage(const QString& name);

/** Opens a page of the manual, or says where it was looked for. */
void openManualPage(QWidget* parent, const QString& name);

/** The Help menu's page on quasicrystals. */
inline constexpr char kQuasicrystalPage[] = "https://en.wikipedia.org/wiki/Quasicrystal";

}  // namespace tesral
