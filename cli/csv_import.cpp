#include "csv_import.h"

#include <algorithm>
#include <functional>
#include <map>

#include "csv.h"
#include "input_text.h"
#include "record_edits.h"
#include "records/player_fields.h"
#include "records/team.h"

namespace tarvo::cli {
namespace {

using json = nlohmann::ordered_json;

std::string cellText(const json& value) {
    if (value.is_null()) return {};
    return value.is_string() ? value.get<std::string>() : value.dump();
}

// The player columns: the keys of `player --json` without the name bytes, which the names say.
std::vector<std::string> playerColumns() {
    std::vector<std::string> columns{"id", "full name", "back name", "call number"};
    for (const PlayerField& field : kPlayerFields) columns.emplace_back(field.name);
    return columns;
}

bool teamColumnField(const TeamField& f) { return !f.perSlot && f.kind != TeamFieldKind::Formation; }

std::vector<std::string> teamColumns() {
    std::vector<std::string> columns{"row"};
    for (const TeamField& f : kTeamFields)
        if (teamColumnField(f)) columns.emplace_back(f.name);
    for (int slot = 0; slot < blockmap::kClubSquadSize; ++slot)
        for (const TeamField& f : kTeamFields)
            if (f.perSlot) columns.push_back(slotName(slot) + " " + std::string(f.name));
    return columns;
}

// A row's cells in the order of teamColumns(), taken from `team --json`; empty where the row holds
// no such value (the club name of a national team, the tactics of row 105, slots past its squad).
std::vector<std::string> teamCells(const GameBlocks& blocks, int row) {
    json team = teamDetails(blocks, row);
    std::vector<std::string> cells{std::to_string(row)};
    for (const TeamField& f : kTeamFields) {
        const std::string key(f.name);
        if (!teamColumnField(f)) continue;
        if (f.kind == TeamFieldKind::Name) cells.push_back(cellText(team[key]));
        else if (f.kind == TeamFieldKind::SetPiece) cells.push_back(cellText(team["set pieces"][key]));
        else cells.push_back(team["tactics"].is_null() ? std::string() : cellText(team["tactics"][key]));
    }
    for (int slot = 0; slot < blockmap::kClubSquadSize; ++slot)
        for (const TeamField& f : kTeamFields) {
            if (!f.perSlot) continue;
            const bool held = slot < squadSize(row);
            cells.push_back(held ? cellText(team["squad"][static_cast<std::size_t>(slot)][std::string(f.name)]) : "");
        }
    return cells;
}

std::vector<std::string> playerCells(const GameBlocks& blocks, std::uint32_t id) {
    json player = playerObject(blocks, id);
    std::vector<std::string> cells;
    for (const std::string& column : playerColumns()) cells.push_back(cellText(player[column]));
    return cells;
}

using Apply = std::function<void(const GameBlocks&)>;
using Cell = std::pair<std::size_t, Assignment>;  // a changed cell: its column (from 1) and what it says

// What tells players from teams: the key column, its range, the cells a record holds now, and the
// checked change of one cell. A record's changes are applied together, after every cell is checked.
struct Sheet {
    std::string record;  // "player", "team"
    std::string key;     // "id", "row"
    std::vector<std::string> columns;
    std::int64_t first, last;
    std::string keyRange;
    std::function<std::vector<std::string>(const GameBlocks&, std::int64_t)> cells;
    // The changes of one record: the cells that differ, by column; the refusal's column and text.
    std::function<std::variant<Apply, CsvRefusal>(const GameBlocks&, std::int64_t key, const std::vector<Cell>&)> check;
};

Sheet playerSheet() {
    Sheet sheet{"player", "id", playerColumns(), kFirstPlayerId, kLastPlayerId, std::string(playerIdRefusal()), {}, {}};
    sheet.cells = [](const GameBlocks& blocks, std::int64_t id) {
        return playerCells(blocks, static_cast<std::uint32_t>(id));
    };
    sheet.check = [](const GameBlocks& blocks, std::int64_t key,
                     const std::vector<Cell>& changed) -> std::variant<Apply, CsvRefusal> {
        const auto id = static_cast<std::uint32_t>(key);
        Player now;
        now.load(blocks, id);
        std::uint32_t skin = now.read(PlayerFieldId::Skin);
        for (const auto& [column, a] : changed)
            if (a.name == "skin") skin = skinAfter(skin, a.value);
        std::vector<PlayerChange> changes;
        for (const auto& [column, a] : changed) {
            auto checked = checkPlayerChange(id, a, skin);
            if (auto* refusal = std::get_if<std::string>(&checked)) return CsvRefusal{0, column, a.name, *refusal};
            changes.push_back(std::get<PlayerChange>(std::move(checked)));
        }
        return [id, changes = std::move(changes)](const GameBlocks& into) {
            Player player;
            player.load(into, id);
            for (const PlayerChange& change : changes) change(into, player);
        };
    };
    return sheet;
}

Sheet teamSheet() {
    Sheet sheet{"team", "row", teamColumns(), kFirstTeamRow, kLastTeamRow, teamRowRefusal("row"), {}, {}};
    sheet.cells = [](const GameBlocks& blocks, std::int64_t row) { return teamCells(blocks, static_cast<int>(row)); };
    sheet.check = [](const GameBlocks&, std::int64_t key,
                     const std::vector<Cell>& changed) -> std::variant<Apply, CsvRefusal> {
        std::vector<TeamChange> changes;
        for (const auto& [column, a] : changed) {
            auto checked = checkTeamChange(static_cast<int>(key), a);
            if (auto* refusal = std::get_if<std::string>(&checked)) return CsvRefusal{0, column, a.name, *refusal};
            changes.push_back(std::get<TeamChange>(std::move(checked)));
        }
        return [changes = std::move(changes)](const GameBlocks& blocks) {
            for (const TeamChange& change : changes) change(blocks);
        };
    };
    return sheet;
}

CsvImport refused(std::size_t line, std::size_t column, std::string columnName, std::string reason) {
    return {CsvRefusal{line, column, std::move(columnName), std::move(reason)}, {}};
}

std::string sheetText(const Sheet& sheet, const GameBlocks& blocks) {
    std::string text = csvRecord(sheet.columns);
    for (std::int64_t key = sheet.first; key <= sheet.last; ++key) text += csvRecord(sheet.cells(blocks, key));
    return text;
}

}  // namespace

std::string playersCsv(const GameBlocks& blocks) { return sheetText(playerSheet(), blocks); }

std::string teamsCsv(const GameBlocks& blocks) { return sheetText(teamSheet(), blocks); }

std::string refusalText(const CsvRefusal& refusal) {
    std::string where;
    if (refusal.line > 0) where = "line " + std::to_string(refusal.line);
    if (refusal.column > 0) where += ", column " + std::to_string(refusal.column);
    if (!refusal.columnName.empty()) where += " (\"" + refusal.columnName + "\")";
    return where.empty() ? refusal.reason : where + ": " + refusal.reason;
}

CsvImport importCsv(const GameBlocks& blocks, std::string_view text) {
    CsvReader reader(text);
    const auto headerRecord = reader.next();
    if (!reader.error().empty()) return refused(0, 0, "", reader.error());
    if (!headerRecord) return refused(0, 0, "", "there is no header row");
    const std::vector<std::string>& header = headerRecord->fields;
    const bool players = std::ranges::find(header, "id") != header.end();
    if (!players && std::ranges::find(header, "row") == header.end())
        return refused(1, 0, "", "the header row has neither an \"id\" column (players) nor a \"row\" column (teams)");
    const Sheet sheet = players ? playerSheet() : teamSheet();
    // Where each column of the file stands among the sheet's columns.
    std::vector<std::size_t> known;
    for (std::size_t c = 0; c < header.size(); ++c) {
        const std::string shown = shownValue(header[c]);
        const auto at = std::ranges::find(sheet.columns, header[c]);
        if (at == sheet.columns.end())
            return refused(1, c + 1, shown, "\"" + shown + "\" is not a " + sheet.record + " column");
        if (std::ranges::find(header, header[c]) != header.begin() + static_cast<std::ptrdiff_t>(c))
            return refused(1, c + 1, shown, "\"" + shown + "\" is there twice");
        known.push_back(static_cast<std::size_t>(at - sheet.columns.begin()));
    }
    const std::size_t keyColumn = static_cast<std::size_t>(std::ranges::find(header, sheet.key) - header.begin());
    const ChangeKind kind = players ? ChangeKind::Player : ChangeKind::Team;

    std::vector<Apply> apply;
    std::map<std::int64_t, std::size_t> lineOf;  // the line of each record's key
    CsvImport result;
    while (const auto record = reader.next()) {
        if (record->fields.size() != header.size())
            return refused(
                record->line, 0, "",
                std::to_string(record->fields.size()) + " cells where the header has " + std::to_string(header.size()));
        const auto key = parseInRange(record->fields[keyColumn], sheet.first, sheet.last);
        if (!key) return refused(record->line, keyColumn + 1, sheet.key, sheet.keyRange);
        // The same record twice would leave the result to the order of its lines.
        if (const auto [first, added] = lineOf.try_emplace(*key, record->line); !added)
            return refused(record->line, keyColumn + 1, sheet.key,
                           sheet.record + " " + std::to_string(*key) + " is on line " + std::to_string(first->second) +
                               " already");
        // A cell of a value the record does not hold is left to the checks below, which name it.
        for (std::size_t c = 0; c < header.size(); ++c) {
            const auto value = valueNamed(kind, static_cast<int>(*key), header[c]);
            if (!value) continue;
            if (auto refusal = cellLengthRefusal(value, record->fields[c]))
                return refused(record->line, c + 1, header[c], *refusal);
        }
        const std::vector<std::string> now = sheet.cells(blocks, *key);
        std::vector<Cell> changed;
        for (std::size_t c = 0; c < header.size(); ++c) {
            const std::string& before = now[known[c]];
            if (c == keyColumn || record->fields[c] == before) continue;
            changed.push_back({c + 1, Assignment{header[c], record->fields[c]}});
            result.changes.push_back({sheet.record + " " + std::to_string(*key), header[c], before, record->fields[c]});
        }
        if (changed.empty()) continue;
        auto checked = sheet.check(blocks, *key, changed);
        if (auto* refusal = std::get_if<CsvRefusal>(&checked)) {
            refusal->line = record->line;
            return {std::move(*refusal), {}};
        }
        apply.push_back(std::get<0>(std::move(checked)));
    }
    if (!reader.error().empty()) return refused(0, 0, "", reader.error());
    for (const auto& change : apply) change(blocks);
    return result;
}

CsvPreview previewCsv(const GameBlocks& blocks, std::string_view text) {
    Bytes boot(blocks.boot.begin(), blocks.boot.end()), parameter(blocks.parameter.begin(), blocks.parameter.end()),
        select(blocks.select.begin(), blocks.select.end());
    CsvImport result = importCsv({boot, parameter, select}, text);
    if (result.refusal) return {std::move(result.refusal), {}};
    return {std::nullopt, listChanges(readOnly(blocks), ConstGameBlocks{boot, parameter, select})};
}

}  // namespace tarvo::cli
