#pragma once

#include <QString>

namespace tesral {

/**
 * Where the working files live ("tmp.hkl", "clipboard.hkl", "a.wmf", the "data" folder):
 * the folder of the program file when it is writable, otherwise the per-user application
 * data folder (created when missing).
 */
QString programFolder();

/** A file in the program folder. */
QString programFile(const QString& name);

/**
 * Where "Tesral.cfg" lives: the program folder when it is writable, otherwise the per-user
 * configuration folder. The environment variable TESRAL_CONFIG_DIR names another folder
 * (tests use it so that they never touch the program's own file).
 */
QString configFile();

/**
 * Working files and "Tesral.cfg" are regular files: true when `path` names one (links
 * followed) or nothing yet. A named pipe would keep a write waiting for a reader forever.
 */
bool regularOrAbsent(const QString& path);

/**
 * Failed writes show as messages: a file-size limit (SIGXFSZ) or a pipe without a reader
 * (SIGPIPE) would otherwise end the program. Called once at start-up.
 */
void reportWriteSignalsAsErrors();

/** The "data" folder below the program folder, where user files go by default; created
 *  when missing. */
QString dataFolder();

}  // namespace tesral
