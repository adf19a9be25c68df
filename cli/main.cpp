// tarvo: the command-line tool. A thin dispatcher; each command parses its own arguments and
// calls the core.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <CLI/CLI.hpp>

#include "cli_support.h"
#include "edits/input_text.h"
#include "store/chd_source.h"

#ifndef TARVO_VERSION
#define TARVO_VERSION "unknown"
#endif

namespace {

using tarvo::cli::kUsageError;

// What `tarvo` alone prints: each command with the first clause of its description.
std::string shortHelp(const CLI::App& app) {
    std::string text = "Usage: tarvo COMMAND ARGUMENTS... ('tarvo COMMAND --help' describes one)\nCommands:\n";
    for (const CLI::App* command : app.get_subcommands({})) {
        const std::string& name = command->get_name();
        const std::string& description = command->get_description();
        std::string clause = description.substr(0, description.find_first_of(":.;("));
        clause.erase(clause.find_last_not_of(' ') + 1);
        text += "  " + name + std::string(name.size() < 15 ? 15 - name.size() : 1, ' ') + clause + '\n';
    }
    return text;
}

// chdman's slow steps on a CHD image (a minute or more on a whole disc) show how far they are, on
// a terminal only: a script reading stderr gets the messages alone.
void showChdProgressOnTerminal() {
#ifdef _WIN32
    const bool terminal = _isatty(_fileno(stderr)) != 0;
#else
    const bool terminal = isatty(fileno(stderr)) != 0;
#endif
    if (!terminal) return;
    tarvo::setChdProgress([](const std::string& step, double percent) {
        if (percent >= 100.0) std::fprintf(stderr, "\r\033[K");
        else std::fprintf(stderr, "\r%s, %.1f%%\033[K", step.c_str(), percent);
        std::fflush(stderr);
    });
}

bool isCommand(const CLI::App& app, const std::string& word) {
    const auto commands = app.get_subcommands({});
    return std::ranges::any_of(commands, [&word](const CLI::App* command) { return command->get_name() == word; });
}

}  // namespace

int main(int argc, char** argv) {
    tarvo::cli::useBinaryOutput();
    std::vector<std::string> arguments = tarvo::cli::utf8Arguments(argc, argv);
    std::vector<char*> utf8Argv;
    for (std::string& argument : arguments) utf8Argv.push_back(argument.data());

    CLI::App app{"tarvo: reads and edits the team and player data of the game's disc image or exported files"};
    // A path such as /data/disc.bin is an argument on every system, never a "/option"; the
    // commands made below take this over from the app.
    app.allow_windows_style_options(false);
    app.require_subcommand(1);
    app.set_version_flag("--version", "tarvo " TARVO_VERSION);
    showChdProgressOnTerminal();
    int status = 0;
    tarvo::cli::registerStoreCommands(app, status);
    tarvo::cli::registerSampleCommands(app, status);
    tarvo::cli::registerVoiceCommands(app, status);
    tarvo::cli::registerTeamCommands(app, status);
    tarvo::cli::registerPlayerCommands(app, status);
    tarvo::cli::registerChangeCommands(app, status);

    if (utf8Argv.size() <= 1) {
        std::cerr << shortHelp(app);
        return kUsageError;
    }
    if (const std::string& first = arguments[1]; !first.starts_with('-') && !isCommand(app, first)) {
        tarvo::cli::messages().warning("'" + first + "' is not a command; see 'tarvo --help'");
        return kUsageError;
    }
    try {
        app.parse(static_cast<int>(utf8Argv.size()), utf8Argv.data());
    } catch (const CLI::Success& e) {  // --help or --version
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        // The command the line named, when it got that far, is the one whose help explains it.
        const std::vector<CLI::App*> named = app.get_subcommands();
        const std::string help = named.empty() ? "tarvo --help" : "tarvo " + named.front()->get_name() + " --help";
        tarvo::cli::messages().warning(std::string(e.what()) + "; see '" + help + "'");
        return kUsageError;
    }
    return status;
}
