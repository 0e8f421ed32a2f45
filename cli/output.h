#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options.h"
#include "report/safe_file.h"

namespace tesral::cli {

/** The output's reader (a pipe's) went away: the command ends with status 1 and no message. */
struct OutputClosed {};

/**
 * Writes through `write` to the file named by --output, or to standard output without it
 * or with "-". `write` returns false once a write failed. A failure throws with the reason;
 * an existing file then stays as it was.
 */
void writeOutput(const Options& options, const std::function<bool(SafeFile&)>& write);

/** writeOutput() to `path` ("-": standard output) instead of --output's file. */
void writeOutputTo(const std::string& path, const std::function<bool(SafeFile&)>& write);

/** writeOutput() of bytes already at hand. */
void writeOutput(const Options& options, std::string_view bytes);

/**
 * Refuses an --output that names the file `input`, which the output would replace: a usage
 * mistake saying "--output 'FILE' is the " + `what` (as "the configuration file").
 */
void refuseOutputOnto(const Options& options, const std::string& input, const std::string& what);

/** Refuses the picture options `names` (as "size") on a text output: a usage mistake. */
void refusePictureOptions(const Options& options, const std::vector<std::string>& names);

/** The command that notes name ("report"); main sets it before the command runs. */
void setCommandName(const std::string& name);

/** A note that does not stop the command, on one line of standard error:
 *  "tesral-cli COMMAND: TEXT". */
void printNote(const std::string& text);

}  // namespace tesral::cli
