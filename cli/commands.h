#pragma once

#include <string>
#include <vector>

namespace tesral::cli {

/**
 * A subcommand: its name, one-line summary, help text and entry points. A command draws when
 * it has a picture entry and no text entry, or when `drawsPicture` says its arguments ask for
 * a picture. tesral-cli links no Qt: its picture entries hand the command to the picture
 * program (picture_program.cpp), which defines them as the drawing itself.
 */
struct Command {
    const char* name;
    const char* summary;
    std::string (*help)();
    int (*text)(const std::vector<std::string>& args);     // nullptr: pictures only
    int (*picture)(const std::vector<std::string>& args);  // nullptr: text only
    bool (*drawsPicture)(const std::vector<std::string>& args) = nullptr;
};

int reportCommand(const std::vector<std::string>& args);
int listCommand(const std::vector<std::string>& args);
int groupsCommand(const std::vector<std::string>& args);
int matricesCommand(const std::vector<std::string>& args);
int structureCommand(const std::vector<std::string>& args);

std::string reportHelp();
std::string listHelp();
std::string groupsHelp();
std::string matricesHelp();
std::string structureHelp();

}  // namespace tesral::cli
