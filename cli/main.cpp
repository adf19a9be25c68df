// tarvo: the command-line tool. A thin dispatcher; each command parses its own arguments and
// calls the core.

#include <CLI/CLI.hpp>

#include "cli_support.h"

int main(int argc, char** argv) {
    CLI::App app{"tarvo: reads and edits the team and player data of the game's disc image or exported files"};
    app.require_subcommand(1);
    int status = 0;
    tarvo::cli::registerStoreCommands(app, status);
    tarvo::cli::registerSampleCommands(app, status);
    tarvo::cli::registerVoiceCommands(app, status);
    tarvo::cli::registerTeamCommands(app, status);
    tarvo::cli::registerPlayerCommands(app, status);
    CLI11_PARSE(app, argc, argv);
    return status;
}
