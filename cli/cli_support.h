#pragma once
// What the commands of `tarvo` share: messages on stderr, loading a SOURCE (a CD image file or a
// directory of exported files, told apart by what the path is), and hex output.

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "store/data_store.h"
#include "store/file_io.h"
#include "store/messages.h"
#include "store/source_check.h"

namespace tarvo::cli {

// Exit status of a command line that could not be understood (a refused input is 1).
inline constexpr int kUsageError = 2;

// Every message goes to stderr as one line "tarvo: <text>" (a text with a line break is joined
// with a blank), so that a script can tell the tool's lines from those of other programs.
class StderrMessages : public MessageService {
public:
    void show(const Message& message) override;
};
// The one path of the tool's messages to stderr.
MessageService& messages();

// The command line as UTF-8 text. On Windows it is read again as UTF-16, since `argv` holds the
// ANSI code page's bytes, in which characters outside that page are already lost.
std::vector<std::string> utf8Arguments(int argc, char** argv);
// stdout and stderr write their bytes as they are (Windows would turn "\n" into "\r\n").
void useBinaryOutput();

// Loads SOURCE (a folder, an image, or a CUE sheet naming the image) into the store; what it named,
// or nullopt (messages shown) when it is refused.
bool loadSource(DataStore& store, const std::filesystem::path& source);
// What to do about a refusal of the store, in the words of this tool (to append to its line), or
// nothing.
std::string adviceFor(FailureKind refusal, const std::string& source);
// Shows <text> through messages() and returns 1, the exit status of a refused command.
int refuse(const std::string& text);
// Shows "<what>; see 'tarvo COMMAND --help'" and returns 2, the exit status of a command line
// that was not understood.
int usageError(const std::string& what, const std::string& command);
std::string hexBytes(ByteSpan data);

// A subcommand whose callback runs `run` on `args` (filled in by the options the caller adds) and
// sets `status` to its exit status.
template <typename Args>
CLI::App* addCommand(CLI::App& app, int& status, const char* name, const std::string& description,
                     std::shared_ptr<Args> args, int (*run)(const Args&)) {
    CLI::App* command = app.add_subcommand(name, description);
    command->callback([args, run, &status] { status = run(*args); });
    return command;
}

// Each file of cli/ registers its commands; a command's callback sets `status`.
void registerStoreCommands(CLI::App& app, int& status);   // info, recover, backups, restore, verify
void registerSampleCommands(CLI::App& app, int& status);  // make-sample
void registerVoiceCommands(CLI::App& app, int& status);   // adx2wav, voice
void registerTeamCommands(CLI::App& app, int& status);    // teams, team, set-team, export-team, import-team
void registerPlayerCommands(CLI::App& app, int& status);  // player, set-player, export-player, import-player, universal
void registerChangeCommands(CLI::App& app, int& status);  // diff, apply

}  // namespace tarvo::cli
