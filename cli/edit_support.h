#pragma once
// What the team and player commands share: a store that collects its messages while loading and
// while a core operation runs (so that a refusal is one line), number and assignment parsing, and
// the final write-back.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_support.h"
#include "edits/input_text.h"

namespace tarvo::cli {

// Holds messages until told where they go: collected (to join into one refusal line) or printed.
class CommandMessages : public MessageService {
public:
    void show(const Message& message) override;
    // Prints what was collected and prints everything from now on.
    void flush();
    // Stops printing; what comes next is collected.
    void collect() { m_printing = false; }
    // The collected messages as one line, and forgets them.
    std::string takeLine();

private:
    bool m_printing = false;
    std::vector<Message> m_collected;
};

// A loaded SOURCE for one command.
struct LoadedSource {
    CommandMessages messages;
    DataStore store{messages};
};

// A command that writes into SOURCE holds the source's lock from its load to the end of its write,
// so that its edit is made on what is on disk at that moment.
enum class Use { Read, Write };
// Loads SOURCE; on failure returns the exit status of the refusal (its messages on one line).
std::optional<int> loadOrRefuse(LoadedSource& source, const std::string& path, Use use = Use::Read);
// Whether a write-back makes a backup of the source first (--no-backup says not).
enum class WriteBackup { Make, Skip };
inline WriteBackup backupOf(bool noBackup) { return noBackup ? WriteBackup::Skip : WriteBackup::Make; }
// Writes the changed blocks back to their source: 0, or 1 when the write-back failed.
int writeBack(LoadedSource& source, WriteBackup backup);
// Runs a store operation that may write (a write-back, a restore): its refusal is one line, with
// the command-line advice for the store's reason.
int runWrite(LoadedSource& source, const std::function<bool()>& operation);
// Runs a core operation whose messages are collected: on failure they become the refusal line.
int runOperation(LoadedSource& source, const std::function<bool()>& operation);

// What every command on a SOURCE takes: the SOURCE, and --no-backup.
struct SourceArgs {
    std::string source;
    bool noBackup = false;
};

// A subcommand whose first argument is SOURCE (with --no-backup).
CLI::App* addSourceCommand(CLI::App& app, const char* name, const std::string& description, SourceArgs& args);
// The same, whose callback runs `run` on `args` and sets `status` to its exit status.
template <typename Args>
CLI::App* addSourceCommand(CLI::App& app, int& status, const char* name, const std::string& description,
                           std::shared_ptr<Args> args, int (*run)(const Args&)) {
    CLI::App* command = addSourceCommand(app, name, description, static_cast<SourceArgs&>(*args));
    command->callback([args, run, &status] { status = run(*args); });
    return command;
}

// A subcommand on SOURCE with arguments of its own, which live as long as the parser; its callback
// sets `status` to what `run` returns.
template <typename Args>
struct Command {
    CLI::App* app;
    Args& args;
};
template <typename Args>
Command<Args> addCommandOnSource(CLI::App& parent, const char* name, const std::string& description,
                                 int (*run)(const Args&), int& status) {
    auto args = std::make_shared<Args>();
    return {addSourceCommand(parent, status, name, description, args, run), *args};
}

// Writes a command's text output into FILE (through a temporary file), or to stdout without one:
// 0, or 1 when the file could not be written.
int writeText(const std::string& text, const std::string& file, MessageService& messages);

// Prints a JSON value: indented with --json, otherwise one "key: value" line per member.
void printJson(const nlohmann::ordered_json& value, bool json);

}  // namespace tarvo::cli
