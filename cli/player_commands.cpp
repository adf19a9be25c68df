// player, set-player, export-player, import-player, universal: one player's data, shown and
// changed, and the bulk change of one ability.

#include <algorithm>
#include <iostream>
#include <memory>
#include <variant>

#include "edit_support.h"
#include "edits/csv_import.h"
#include "edits/value_edits.h"
#include "player/player_file.h"
#include "player/universal_edit.h"
#include "record_json.h"
#include "records/player.h"
#include "records/player_tables.h"
#include "store/block_map.h"
#include "text/sjis.h"

namespace tarvo::cli {

using json = nlohmann::ordered_json;

json playerObject(const GameBlocks& blocks, std::uint32_t id) {
    json p;
    const Bytes full = readPlayerName(blocks, PlayerName::Full, id);
    const Bytes back = readPlayerName(blocks, PlayerName::Back, id);
    p["id"] = id;
    p[std::string(kFullNameValue)] = decodeShiftJis(full);
    p[std::string(kBackNameValue)] = decodeShiftJis(back);
    p["full name bytes"] = hexBytes(full);
    p["back name bytes"] = hexBytes(back);
    p[std::string(kCallNumberValue)] = readCallNumber(blocks, id);
    Player player;
    player.load(blocks, id);
    for (std::size_t i = 0; i < kPlayerFields.size(); ++i)
        p[std::string(kPlayerFields[i].name)] = player.read(static_cast<PlayerFieldId>(i));
    return p;
}

namespace {

std::optional<std::uint32_t> parseId(const std::string& text) {
    const auto id = parseInRange(text, kFirstPlayerId, kLastPlayerId);
    return id ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*id)) : std::nullopt;
}

// The exit status for an ID that is no player's: out of range is refused, no number not understood.
int badId(const std::string& text, const std::string& command) {
    if (isWholeNumber(text)) return refuse(std::string(playerIdRefusal()));
    return usageError("ID takes a whole number, not \"" + shownValue(text) + "\"", command);
}

struct PlayerArgs : SourceArgs {
    std::string id, file, ability, method;
    std::vector<std::string> assignments;
    bool json = false;
    bool csv = false;
    bool dryRun = false;
};

int playersCommand(const PlayerArgs& args) {
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    return writeText(playersCsv(source.store.blocksForReading()), args.file, source.messages);
}

int importCsvCommand(const PlayerArgs& args) {
    const std::filesystem::path file = pathFromUtf8(args.file);
    const auto bytes = readFileReporting(file, kMaxTextFileSize, messages());
    if (!bytes) return 1;
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source, Use::Write)) return *refused;
    const CsvImport result =
        importCsv(source.store.blocks(), std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    const std::string name = utf8Path(file);
    if (result.refusal) return refuse(name + ": " + refusalText(*result.refusal));
    // A dry run changed the blocks in memory only: they are never written.
    if (args.dryRun) {
        const auto listed = listChanges(source.store.writtenBlocks(), readOnly(source.store.blocks()));
        for (const Change& change : listed) std::cout << describeChange(change) << '\n';
        source.messages.information(std::to_string(listed.size()) + " changes; a dry run writes nothing");
        return 0;
    }
    source.messages.information(std::to_string(result.changes.size()) + " changes from " + name);
    return writeBack(source, backupOf(args.noBackup));
}

int playerCommand(const PlayerArgs& args) {
    const auto id = parseId(args.id);
    if (!id) return badId(args.id, "player");
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    printJson(playerObject(source.store.blocksForReading(), *id), args.json);
    return 0;
}

int setPlayerCommand(const PlayerArgs& args) {
    const auto id = parseId(args.id);
    if (!id) return badId(args.id, "set-player");
    std::vector<Assignment> assignments;
    for (const auto& text : args.assignments) {
        auto a = parseAssignment(text);
        if (!a) return refuse("\"" + shownValue(text) + "\" is not NAME=VALUE");
        if (auto malformed = malformedNumber(ChangeKind::Player, static_cast<int>(*id), a->name, a->value))
            return usageError(*malformed, "set-player");
        assignments.push_back(std::move(*a));
    }
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source, Use::Write)) return *refused;
    const auto blocks = source.store.blocks();
    const CheckedChanges checked = checkPlayerChanges(blocks, *id, assignments);
    if (checked.refusedAt) return refuse(checked.refusal);
    checked.store(blocks);
    return writeBack(source, backupOf(args.noBackup));
}

int exportPlayerCommand(const PlayerArgs& args) {
    const auto id = parseId(args.id);
    if (!id) return badId(args.id, "export-player");
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    return runOperation(
        source, [&] { return exportPlayerTo(source.store.blocks(), *id, pathFromUtf8(args.file), source.messages); });
}

int importPlayerCommand(const PlayerArgs& args) {
    const auto id = parseId(args.id);
    if (!id) return badId(args.id, "import-player");
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source, Use::Write)) return *refused;
    const int status = runOperation(source, [&] {
        return importPlayer(source.store.blocks(), *id, pathFromUtf8(args.file), source.messages).stored();
    });
    return status != 0 ? status : writeBack(source, backupOf(args.noBackup));
}

// "+N" or "-N" (-99 to 99) adds, "N%" (1 to 200) scales.
std::optional<std::pair<UniversalMethod, std::int32_t>> parseMethod(const std::string& text) {
    if (!text.empty() && text.back() == '%') {
        const std::string number = text.substr(0, text.size() - 1);
        if (number.empty() || number.front() == '+' || number.front() == '-') return std::nullopt;
        const auto v = parseInRange(number, kUniversalPercentMin, kUniversalPercentMax);
        if (v) return std::pair{UniversalMethod::Percent, static_cast<std::int32_t>(*v)};
        return std::nullopt;
    }
    if (text.empty() || (text.front() != '+' && text.front() != '-')) return std::nullopt;
    const auto v = parseInRange(text, kUniversalAmountMin, kUniversalAmountMax);
    if (v) return std::pair{UniversalMethod::Add, static_cast<std::int32_t>(*v)};
    return std::nullopt;
}

int universalCommand(const PlayerArgs& args) {
    std::optional<int> ability;
    for (int k = 0; k < kAbilityCount; ++k)
        if (fieldOf(kAbilityFields[static_cast<std::size_t>(k)]).name == args.ability) ability = k;
    if (!ability) return refuse("\"" + args.ability + "\" is not one of the 25 abilities");
    const auto method = parseMethod(args.method);
    if (!method) return refuse("METHOD should be +N or -N (-99 to 99) or N% (1 to 200)");
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source, Use::Write)) return *refused;
    Player player;
    universalEdit(source.store.blocks(), player, *ability, method->first, method->second);
    source.messages.information("universal edit done!");
    return writeBack(source, backupOf(args.noBackup));
}

// A command on SOURCE and a player ID.
Command<PlayerArgs> withId(Command<PlayerArgs> command) {
    std::string help = "player ID, ";
    help.append(std::to_string(kFirstPlayerId)).append(" to ").append(std::to_string(kLastPlayerId));
    command.app->add_option("ID", command.args.id, help)->required();
    return command;
}

}  // namespace

void registerPlayerCommands(CLI::App& app, int& status) {
    auto player = withId(addCommandOnSource(
        app, "player", "Shows a player: names, call number and the 70 fields of the record", playerCommand, status));
    player.app->add_flag("--json", player.args.json, "print one JSON object");

    auto set =
        withId(addCommandOnSource(app, "set-player",
                                  "Changes a player and writes SOURCE back. NAME as in `player --json` (\"full name\", "
                                  "\"back name\", \"call number\" or a field), VALUE in the same units and within what "
                                  "the editor allows. Every assignment is checked before any is stored",
                                  setPlayerCommand, status));
    set.app->add_option("ASSIGNMENTS", set.args.assignments, "NAME=VALUE ...")->required();

    auto exportPlayer = withId(addCommandOnSource(
        app, "export-player", "Writes a player's data to a player file (103 bytes)", exportPlayerCommand, status));
    exportPlayer.app->add_option("FILE", exportPlayer.args.file, "the player file to write")->required();

    auto importPlayer = withId(addCommandOnSource(app, "import-player",
                                                  "Loads a player file as the data of player ID and writes SOURCE "
                                                  "back. Every value is checked first: one the game could not read "
                                                  "refuses the whole file; one outside what set-player allows is "
                                                  "kept and listed",
                                                  importPlayerCommand, status));
    importPlayer.app->add_option("FILE", importPlayer.args.file, "a player file")->required();

    auto universal =
        addCommandOnSource(app, "universal",
                           "Changes one ability of all 2197 players (+N/-N adds, N% scales; results kept within "
                           "1 to 99) and writes SOURCE back",
                           universalCommand, status);
    universal.app->add_option("ABILITY", universal.args.ability, "one of the 25 ability names, e.g. \"speed\"")
        ->required();
    universal.app->add_option("METHOD", universal.args.method, "+N or -N (-99 to 99), or N% (1 to 200)")->required();

    auto players =
        addCommandOnSource(app, "players",
                           "Writes all 2197 players as CSV (UTF-8, a header row): id, full name, back name, call "
                           "number and the 70 fields, named and counted as in `player --json`",
                           playersCommand, status);
    players.app->add_flag("--csv", players.args.csv, "CSV, the one format of this command")->required();
    players.app->add_option("FILE", players.args.file, "the CSV file to write (standard output when left out)");

    auto importCsv =
        addCommandOnSource(app, "import-csv",
                           "Applies a CSV file of players or of team rows as `players --csv` and `teams --csv` "
                           "write them (any of their columns; \"id\" or \"row\" required) and writes SOURCE "
                           "back. Every cell is checked first as set-player and set-team check it; one bad cell "
                           "refuses the whole file, naming its line and column",
                           importCsvCommand, status);
    importCsv.app->add_option("FILE", importCsv.args.file, "the CSV file")->required();
    importCsv.app->add_flag("--dry-run", importCsv.args.dryRun, "print what would change and write nothing");
}

}  // namespace tarvo::cli
