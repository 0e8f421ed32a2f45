#pragma once

#include <QString>

namespace tesral {

/**
 * Where a window keeps its working files ("tmp.hkl", "clipboard.hkl", "a.wmf", the "data"
 * folder) unless it is given another folder: the folder of the program file when it is
 * writable, otherwise the per-user application data folder (created when missing).
 */
QString defaultWorkingFolder();

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

}  // namespace tesral
