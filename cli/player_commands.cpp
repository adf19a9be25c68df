// player, set-player, export-player, import-player, universal: one player's data, shown and
// changed, and the bulk change of one ability.

#include <algorithm>
#include <iostream>
#include <memory>
#include <variant>

#include "csv.h"
#include "edit_support.h"
#include "player/player_file.h"
#include "player/universal_edit.h"
#include "records/player.h"
#include "records/player_tables.h"
#include "store/block_map.h"
#include "text/sjis.h"

namespace tarvo::cli {
namespace {

using json = nlohmann::ordered_json;

constexpr std::string_view kFullName = "full name", kBackName = "back name", kCallNumber = "call number";

json playerObject(const GameBlocks& blocks, std::uint32_t id) {
    json p;
    const Bytes full = readPlayerName(blocks, PlayerName::Full, id);
    const Bytes back = readPlayerName(blocks, PlayerName::Back, id);
    p["id"] = id;
    p[std::string(kFullName)] = decodeShiftJis(full);
    p[std::string(kBackName)] = decodeShiftJis(back);
    p["full name bytes"] = hexBytes(full);
    p["back name bytes"] = hexBytes(back);
    p[std::string(kCallNumber)] = readCallNumber(blocks, id);
    Player player;
    player.load(blocks, id);
    for (std::size_t i = 0; i < kPlayerFields.size(); ++i)
        p[std::string(kPlayerFields[i].name)] = player.read(static_cast<PF>(i));
    return p;
}

std::optional<std::uint32_t> parseId(const std::string& text) {
    const auto id = parseInRange(text, 1, blockmap::kPlayerCount);
    return id ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*id)) : std::nullopt;
}

const std::string kIdRange = "ID should be 1--2197";

}  // namespace

std::variant<PlayerChange, std::string> checkPlayerChange(std::uint32_t id, const Assignment& a, std::uint32_t skin) {
    if (a.name == kFullName || a.name == kBackName) {
        const bool full = a.name == kFullName;
        auto encoded = encodeName(a.name, a.value, (full ? blockmap::kFullNameSize : blockmap::kBackNameSize) - 1);
        if (!encoded.refusal.empty()) return encoded.refusal;
        return PlayerChange([id, full, bytes = std::move(encoded.bytes)](const GameBlocks& b, Player&) {
            writePlayerName(b, full ? PlayerName::Full : PlayerName::Back, id, bytes);
        });
    }
    if (a.name == kCallNumber) {
        const auto v = parseInteger(a.value);
        if (!v || (*v != kNoCallNumber && (*v < kCallNumberMin || *v > kCallNumberMax)))
            return "call number should be " + std::to_string(kCallNumberMin) + " to " + std::to_string(kCallNumberMax) +
                   ", or " + std::to_string(kNoCallNumber) + " for none";
        return PlayerChange(
            [id, v = static_cast<std::uint16_t>(*v)](const GameBlocks& b, Player&) { writeCallNumber(b, id, v); });
    }
    const auto field = fieldByName(a.name);
    if (!field) return "unknown player value \"" + a.name + "\"";
    const auto v = parseInteger(a.value);
    if (!v || *v < 0 || *v > 0xFFFF || !editorAllows(*field, static_cast<std::uint32_t>(*v), skin)) {
        const auto range = editorRange(*field);
        std::string allowed = std::to_string(range.min) + " to " + std::to_string(range.max);
        if (*field == PF::Face)
            allowed = "1 to " + std::to_string(faceBoundOfSkin(skin)) + " for skin " + std::to_string(skin);
        if (*field == PF::Nation) allowed = "a nation code (0 to 55, 105 to 128, 240)";
        if (*field == PF::HairColor) allowed = "0 to 61, or 63 for bald";
        return "\"" + a.name + "\" = " + a.value + " is outside what the editor allows (" + allowed + ")";
    }
    return PlayerChange(
        [f = *field, v = static_cast<std::uint32_t>(*v)](const GameBlocks&, Player& p) { p.write(f, v); });
}

namespace {

struct PlayerArgs {
    std::string source, id, file, ability, method;
    std::vector<std::string> assignments;
    bool json = false;
    bool csv = false;
    bool dryRun = false;
};

// The spreadsheet columns of a player: the keys of `player --json` without the name bytes, which
// the names themselves say.
std::vector<std::string> csvColumns() {
    std::vector<std::string> columns{"id", std::string(kFullName), std::string(kBackName), std::string(kCallNumber)};
    for (const PlayerField& field : kPlayerFields) columns.emplace_back(field.name);
    return columns;
}

std::string cellText(const json& value) { return value.is_string() ? value.get<std::string>() : value.dump(); }

int playersCommand(const PlayerArgs& args) {
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    const std::vector<std::string> columns = csvColumns();
    std::string text = csvRecord(columns);
    for (std::uint32_t id = 1; id <= blockmap::kPlayerCount; ++id) {
        const json player = playerObject(source.store.blocks(), id);
        std::vector<std::string> cells;
        for (const std::string& column : columns) cells.push_back(cellText(player[column]));
        text += csvRecord(cells);
    }
    if (args.file.empty()) {
        std::cout << text;
        return 0;
    }
    const ByteSpan bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return writeFileReporting(pathFromUtf8(args.file), bytes, source.messages) ? 0 : 1;
}

// One player's row of the file: what changes, checked, and the words that say so.
struct RowChanges {
    std::uint32_t id;
    std::vector<PlayerChange> changes;
};

int importCsvCommand(const PlayerArgs& args) {
    const std::filesystem::path file = pathFromUtf8(args.file);
    const auto bytes = readFileReporting(file, kMaxTextFileSize, messages());
    if (!bytes) return 1;
    const CsvTable table = parseCsv(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    const std::string name = utf8Path(file);
    if (!table.error.empty()) return refuse(name + " " + table.error);
    if (table.records.empty()) return refuse(name + " holds no header row");
    const std::vector<std::string>& header = table.records.front().fields;
    const auto idColumn = std::ranges::find(header, "id");
    if (idColumn == header.end()) {
        if (std::ranges::find(header, "row") != header.end())
            return refuse(name + ": team rows (a \"row\" column) can not be imported from a spreadsheet yet");
        return refuse(name + ": the header row has no \"id\" column");
    }
    const auto known = csvColumns();
    for (std::size_t c = 0; c < header.size(); ++c) {
        const auto where = name + " line 1, column " + std::to_string(c + 1) + ": ";
        if (std::ranges::find(known, header[c]) == known.end())
            return refuse(where + "\"" + header[c] + "\" is not a player column");
        if (std::ranges::find(header, header[c]) != header.begin() + static_cast<std::ptrdiff_t>(c))
            return refuse(where + "\"" + header[c] + "\" is there twice");
    }
    const auto skinColumn = std::ranges::find(header, "skin");

    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    const auto blocks = source.store.blocks();
    // Every cell is checked before anything is stored; a cell that holds what the player holds
    // now is no change, so that an unchanged export imports without touching a byte.
    std::vector<RowChanges> rows;
    std::vector<std::string> report;
    for (std::size_t r = 1; r < table.records.size(); ++r) {
        const CsvRecord& record = table.records[r];
        const std::string line = name + " line " + std::to_string(record.line);
        if (record.fields.size() != header.size())
            return refuse(line + ": " + std::to_string(record.fields.size()) + " cells where the header has " +
                          std::to_string(header.size()));
        const auto cell = [&](auto column) { return record.fields[static_cast<std::size_t>(column - header.begin())]; };
        const auto id = parseId(cell(idColumn));
        if (!id)
            return refuse(line + ", column " + std::to_string(idColumn - header.begin() + 1) +
                          " (\"id\"): " + kIdRange);
        const json now = playerObject(blocks, *id);
        std::uint32_t skin = now["skin"].get<std::uint32_t>();
        if (skinColumn != header.end()) {
            const auto v = parseInteger(cell(skinColumn));
            if (v && editorAllows(PF::Skin, static_cast<std::uint32_t>(std::clamp<std::int64_t>(*v, 0, 0xFFFF)), 0))
                skin = static_cast<std::uint32_t>(*v);
        }
        RowChanges row{*id, {}};
        for (std::size_t c = 0; c < header.size(); ++c) {
            const std::string& value = record.fields[c];
            if (header[c] == "id" || value == cellText(now[header[c]])) continue;
            auto checked = checkPlayerChange(*id, Assignment{header[c], value}, skin);
            if (auto* refusal = std::get_if<std::string>(&checked))
                return refuse(line + ", column " + std::to_string(c + 1) + " (\"" + header[c] + "\"): " + *refusal);
            row.changes.push_back(std::get<PlayerChange>(std::move(checked)));
            report.push_back("player " + std::to_string(*id) + " " + header[c] + ": " + cellText(now[header[c]]) +
                             " -> " + value);
        }
        if (!row.changes.empty()) rows.push_back(std::move(row));
    }
    if (args.dryRun) {
        for (const std::string& change : report) std::cout << change << '\n';
        source.messages.information(std::to_string(report.size()) + " changes; a dry run writes nothing");
        return 0;
    }
    Player player;
    for (const RowChanges& row : rows) {
        player.load(blocks, row.id);
        for (const PlayerChange& change : row.changes) change(blocks, player);
    }
    source.messages.information(std::to_string(report.size()) + " changes from " + name);
    return writeBack(source);
}

int playerCommand(const PlayerArgs& args) {
    const auto id = parseId(args.id);
    if (!id) return refuse(kIdRange);
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    printJson(playerObject(source.store.blocks(), *id), args.json);
    return 0;
}

int setPlayerCommand(const PlayerArgs& args) {
    const auto id = parseId(args.id);
    if (!id) return refuse(kIdRange);
    std::vector<Assignment> assignments;
    for (const auto& text : args.assignments) {
        auto a = parseAssignment(text);
        if (!a) return refuse("\"" + text + "\" is not NAME=VALUE");
        assignments.push_back(std::move(*a));
    }
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    const auto blocks = source.store.blocks();
    Player player;
    player.load(blocks, *id);
    // The face's bound follows the skin the player will have after this command.
    std::uint32_t skin = player.read(PF::Skin);
    for (const auto& a : assignments) {
        const auto v = a.name == "skin" ? parseInteger(a.value) : std::nullopt;
        if (v && editorAllows(PF::Skin, static_cast<std::uint32_t>(std::clamp<std::int64_t>(*v, 0, 0xFFFF)), 0))
            skin = static_cast<std::uint32_t>(*v);
    }
    std::vector<PlayerChange> changes;
    for (const auto& a : assignments) {
        auto checked = checkPlayerChange(*id, a, skin);
        if (auto* refusal = std::get_if<std::string>(&checked)) return refuse(*refusal);
        changes.push_back(std::get<PlayerChange>(std::move(checked)));
    }
    for (const auto& change : changes) change(blocks, player);
    return writeBack(source);
}

int exportPlayerCommand(const PlayerArgs& args) {
    const auto id = parseId(args.id);
    if (!id) return refuse(kIdRange);
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    return runOperation(
        source, [&] { return exportPlayerTo(source.store.blocks(), *id, pathFromUtf8(args.file), source.messages); });
}

int importPlayerCommand(const PlayerArgs& args) {
    const auto id = parseId(args.id);
    if (!id) return refuse(kIdRange);
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    const int status = runOperation(
        source, [&] { return importPlayer(source.store.blocks(), *id, pathFromUtf8(args.file), source.messages); });
    return status != 0 ? status : writeBack(source);
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
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    Player player;
    universalEdit(source.store.blocks(), player, *ability, method->first, method->second);
    source.messages.information("universal edit done!");
    return writeBack(source);
}

// A command on SOURCE and, for most, a player ID.
CLI::App* addCommand(CLI::App& app, const char* name, const char* description, PlayerArgs& args, bool withId) {
    CLI::App* command = addSourceCommand(app, name, description, args.source);
    if (withId) command->add_option("ID", args.id, "player ID, 1 to 2197")->required();
    return command;
}

}  // namespace

void registerPlayerCommands(CLI::App& app, int& status) {
    {
        auto args = std::make_shared<PlayerArgs>();
        auto* c = addCommand(app, "player", "Shows a player: names, call number and the 70 fields of the record", *args,
                             true);
        c->add_flag("--json", args->json, "print one JSON object");
        c->callback([args, &status] { status = playerCommand(*args); });
    }
    {
        auto args = std::make_shared<PlayerArgs>();
        auto* c = addCommand(app, "set-player",
                             "Changes a player and writes SOURCE back. NAME as in `player --json` (\"full name\", "
                             "\"back name\", \"call number\" or a field), VALUE in the same units and within what the "
                             "editor allows. Every assignment is checked before any is stored",
                             *args, true);
        c->add_option("ASSIGNMENTS", args->assignments, "NAME=VALUE ...")->required();
        c->callback([args, &status] { status = setPlayerCommand(*args); });
    }
    {
        auto args = std::make_shared<PlayerArgs>();
        auto* c = addCommand(app, "export-player", "Writes a player's data to a player file (103 bytes)", *args, true);
        c->add_option("FILE", args->file, "the player file to write")->required();
        c->callback([args, &status] { status = exportPlayerCommand(*args); });
    }
    {
        auto args = std::make_shared<PlayerArgs>();
        auto* c = addCommand(app, "import-player",
                             "Loads a player file as the data of player ID and writes SOURCE back", *args, true);
        c->add_option("FILE", args->file, "a player file")->required();
        c->callback([args, &status] { status = importPlayerCommand(*args); });
    }
    {
        auto args = std::make_shared<PlayerArgs>();
        auto* c = addCommand(app, "universal",
                             "Changes one ability of all 2197 players (+N/-N adds, N% scales; results kept within "
                             "1 to 99) and writes SOURCE back",
                             *args, false);
        c->add_option("ABILITY", args->ability, "one of the 25 ability names, e.g. \"speed\"")->required();
        c->add_option("METHOD", args->method, "+N or -N (-99 to 99), or N% (1 to 200)")->required();
        c->callback([args, &status] { status = universalCommand(*args); });
    }
    {
        auto args = std::make_shared<PlayerArgs>();
        auto* c = addCommand(app, "players",
                             "Writes all 2197 players as CSV (UTF-8, a header row): id, full name, back name, call "
                             "number and the 70 fields, named and counted as in `player --json`",
                             *args, false);
        c->add_flag("--csv", args->csv, "CSV, the one format of this command")->required();
        c->add_option("FILE", args->file, "the CSV file to write (standard output when left out)");
        c->callback([args, &status] { status = playersCommand(*args); });
    }
    {
        auto args = std::make_shared<PlayerArgs>();
        auto* c = addCommand(app, "import-csv",
                             "Applies a CSV file of players as `players --csv` writes it (any of its columns; \"id\" "
                             "required) and writes SOURCE back. Every cell is checked as set-player checks it first; "
                             "one bad cell refuses the whole file, naming its line and column",
                             *args, false);
        c->add_option("FILE", args->file, "the CSV file")->required();
        c->add_flag("--dry-run", args->dryRun, "print what would change and write nothing");
        c->callback([args, &status] { status = importCsvCommand(*args); });
    }
}

}  // namespace tarvo::cli
