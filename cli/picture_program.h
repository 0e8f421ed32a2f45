#pragma once

#include <string>
#include <vector>

namespace tesral::cli {

/**
 * The program that draws the pictures: the same commands built with the plots library (Qt).
 * tesral-cli itself links no Qt, so its text commands start anywhere; every picture is
 * handed to this program, found beside tesral-cli.
 */
inline constexpr const char* kPictureProgram = "tesral-cli-plots";

/**
 * Replaces this process by the picture program with `command` and `args`; returns only when
 * the program cannot be started, with the exit status of a failed command after saying why.
 */
int runPictureProgram(const char* command, const std::vector<std::string>& args);

}  // namespace tesral::cli
