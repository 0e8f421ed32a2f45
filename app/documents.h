#pragma once

#include <QString>

namespace tesral {

/**
 * Hands a web address (http, https) or a file path to the desktop's default handler,
 * without waiting; nothing goes through a shell, and a target that cannot be opened is
 * not reported.
 */
void openDocument(const QString& target);

/**
 * A page of the bundled documentation: "doc/NAME" beside the program when it is there,
 * else the installed copy below the data folder of the installation.
 */
QString documentationPage(const QString& name);

/** The Help menu's page on quasicrystals. */
inline constexpr char kQuasicrystalPage[] = "https://en.wikipedia.org/wiki/Quasicrystal";

}  // namespace tesral
