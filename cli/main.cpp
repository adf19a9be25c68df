// tarvo: the command-line tool. A thin dispatcher; each command parses its own arguments and
// calls the core.

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli_support.h"

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
    int status = 0;
    tarvo::cli::registerStoreCommands(app, status);
    tarvo::cli::registerSampleCommands(app, status);
    tarvo::cli::registerVoiceCommands(app, status);
    tarvo::cli::registerTeamCommands(app, status);
    tarvo::cli::registerPlayerCommands(app, status);
    CLI11_PARSE(app, static_cast<int>(utf8Argv.size()), utf8Argv.data());
    return status;
}
