// tesral-cli: the reflection engine from the command line.

#include <csignal>
#include <cstring>
#include <iostream>
#include <new>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/plot_command.h"
#include "cli/powder_commands.h"
#include "cli/refine_commands.h"
#include "cli/structure_commands.h"
#include "cli/zone_command.h"
#include "engine/generation.h"
#include "report/safe_file.h"

using namespace tesral::cli;

namespace {

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table = {
        {"report", "run and write the fixed-column report (the default command)", reportHelp,
         reportCommand, nullptr},
        {"list", "run and write the tab-separated rows", listHelp, listCommand, nullptr},
        {"groups", "write the superspace-group catalogue", groupsHelp, groupsCommand, nullptr},
        {"matrices", "write the direct and inverse lattice matrices", matricesHelp, matricesCommand,
         nullptr},
        {"plot2d", "run and draw the 2D zero-layer plot (PNG, BMP, SVG, WMF or PDF)", plot2dHelp,
         nullptr, plot2dCommand},
        {"plot3d", "run and draw the 3D plot, optionally turned", plot3dHelp, nullptr,
         plot3dCommand},
        {"zone", "the section perpendicular to a zone axis, as rows or a picture", zoneHelp,
         zoneCommand, zonePictureCommand, zoneDrawsPicture},
        {"powder", "run with whole orbits and write the powder pattern, its lines or its plot",
         powderHelp, powderTextCommand, powderPictureCommand, powderDrawsPicture},
        {"index", "match a measured powder pattern's peaks and refine the lattice constants",
         indexHelp, indexCommand, nullptr},
        {"refine", "refine a model against a measured pattern, peak list or intensity list",
         refineHelp, refineCommand, refinePictureCommand, refineDrawsPicture},
        {"structure",
         "write a model's atoms: a patch (XYZ), an approximant cell (CIF) or a slab's picture",
         structureHelp, structureCommand, structurePictureCommand, structureDrawsPicture},
    };
    return table;
}

int runCommand(const Command& command, const std::vector<std::string>& args) {
    const bool picture = command.picture && (!command.text || command.drawsPicture(args));
    return picture ? command.picture(args) : command.text(args);
}

std::string generalHelp() {
    std::string text =
        "Tesral - Quasicrystal Reflection Generator, command-line tool\n\n"
        "usage: tesral-cli [COMMAND] [options]\n"
        "       tesral-cli COMMAND --help\n\n"
        "Commands:\n";
    for (const Command& c : commandTable())
        text += "  " + std::string(c.name) + std::string(10 - std::strlen(c.name), ' ') +
                c.summary + "\n";
    text += "\nWithout a command, 'report' runs with the options given.\n\n";
    text += "Exit status: 0 done, 1 the run or the output failed, 2 a usage mistake.\n";
    return text;
}

/** An interrupt removes the temporary file of a write in progress, then ends as usual. */
void endAfterCleanup(int signalNumber) {
    tesral::removeUnfinishedTemporaryFiles();
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

int printHelp(const std::string& text) {
    const auto error = tesral::writeStandardOutputSafely(text);
    if (error) std::cerr << "tesral-cli: cannot write to standard output: " << *error << '\n';
    return error ? 1 : 0;
}

void handleSignals() {
    // A closed pipe or a file-size limit then shows as a failed write with its reason.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    // A signal ignored when we were started (a background job's SIGINT) stays ignored.
    for (const int s : {SIGINT, SIGTERM, SIGHUP})
        if (std::signal(s, endAfterCleanup) == SIG_IGN) std::signal(s, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
    handleSignals();
    std::vector<std::string> args(argv + 1, argv + argc);
    const Command* command = &commandTable().front();
    if (!args.empty() && args.front().rfind("--", 0) != 0) {
        command = nullptr;
        for (const Command& c : commandTable())
            if (args.front() == c.name) command = &c;
        if (!command) {
            std::cerr << "tesral-cli: unknown command " << quoted(args.front())
                      << " (see --help)\n";
            return 2;
        }
        args.erase(args.begin());
    } else if (!args.empty() && args.front() == "--help") {
        std::string text = generalHelp();
        for (const Command& c : commandTable()) text += '\n' + c.help();
        return printHelp(text);
    }
    for (const std::string& a : args)
        if (a == "--help") return printHelp(command->help());
    setCommandName(command->name);
    try {
        return runCommand(*command, args);
    } catch (const UsageError& e) {
        std::cerr << "tesral-cli " << command->name << ": " << e.what() << '\n';
        return 2;
    } catch (const OutputClosed&) {
        return 1;
    } catch (const std::bad_alloc&) {
        // Past the run itself: the 3D points, a picture or the output buffers.
        std::cerr << "tesral-cli " << command->name << ": " << tesral::kNotEnoughMemoryMessage
                  << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "tesral-cli " << command->name << ": " << e.what() << '\n';
        return 1;
    }
}
