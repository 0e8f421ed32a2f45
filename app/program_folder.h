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

/** The "data" folder below the program folder, where user files go by default; created
 *  when missing. */
QString dataFolder();

}  // namespace tesral
