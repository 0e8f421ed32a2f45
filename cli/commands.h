#pragma once

#include <string>
#include <vector>

namespace tesral::cli {

/** A subcommand: its name, one-line summary, help text and entry point. */
struct Command {
    const char* name;
    const char* summary;
    std::string (*help)();
    int (*run)(const std::vector<std::string>& args);
};

int reportCommand(const std::vector<std::string>& args);
int listCommand(const std::vector<std::string>& args);
int groupsCommand(const std::vector<std::string>& args);
int matricesCommand(const std::vector<std::string>& args);

std::string reportHelp();
std::string listHelp();
std::string groupsHelp();
std::string matricesHelp();

}  // namespace tesral::cli
