#include "edits/csv_import.h"

#include <algorithm>
#include <functional>
#include <map>

#include "edits/csv.h"
#include "edits/input_text.h"
#include "edits/value_edits.h"
#include "records/player.h"
#include "records/player_fields.h"
#include "records/team.h"

namespace tarvo {
namespace {

using Apply = std::function<void(const GameBlocks&)>;

// The player columns: the names of `player --json` without the name bytes, which the names say.
std::vector<std::string> playerColumns() {
    std::vector<std::string> columns{"id", std::string(kFullNameValue), std::string(kBackNameValue),
                                     std::string(kCallNumberValue)};
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

// What tells players from teams: the key column and its range, and the other columns, each the
// name of a value.
struct Sheet {
    ChangeKind kind;
    std::string record;  // "player", "team"
    std::string key;     // "id", "row"
    std::vector<std::string> columns;
    std::int64_t first, last;
    std::string keyRange;

    // A record's cells in the order of `columns`; empty where it holds no such value (the club name
    // of a national team, the tactics of row 105, slots past its squad).
    std::vector<std::string> cells(const GameBlocks& blocks, std::int64_t at) const {
        const int subject = static_cast<int>(at);
        std::vector<std::string> out{std::to_string(at)};
        for (std::size_t c = 1; c < columns.size(); ++c) {
            const auto value = valueNamed(kind, subject, columns[c]);
            out.push_back(value ? valueText(blocks, *value) : std::string());
        }
        return out;
    }
    // The checked changes of one record's cells that differ, in file order.
    CheckedChanges check(const GameBlocks& blocks, std::int64_t at, std::span<const Assignment> changed) const {
        if (kind == ChangeKind::Player) return checkPlayerChanges(blocks, static_cast<std::uint32_t>(at), changed);
        return checkTeamChanges(static_cast<int>(at), changed);
    }
};

Sheet playerSheet() {
    return {ChangeKind::Player,
            "player",
            "id",
            playerColumns(),
            kFirstPlayerId,
            kLastPlayerId,
            std::string(playerIdRefusal())};
}

Sheet teamSheet() {
    return {ChangeKind::Team, "team", "row", teamColumns(), kFirstTeamRow, kLastTeamRow, teamRowRefusal("row")};
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
    const ChangeKind kind = sheet.kind;

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
        std::vector<Assignment> changed;
        std::vector<std::size_t> columnOf;  // each changed cell's column, from 1
        for (std::size_t c = 0; c < header.size(); ++c) {
            const std::string& before = now[known[c]];
            if (c == keyColumn || record->fields[c] == before) continue;
            changed.push_back(Assignment{header[c], record->fields[c]});
            columnOf.push_back(c + 1);
            result.changes.push_back({sheet.record + " " + std::to_string(*key), header[c], before, record->fields[c]});
        }
        if (changed.empty()) continue;
        CheckedChanges checked = sheet.check(blocks, *key, changed);
        if (checked.refusedAt)
            return refused(record->line, columnOf[*checked.refusedAt], changed[*checked.refusedAt].name,
                           std::move(checked.refusal));
        apply.push_back(std::move(checked.store));
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

}  // namespace tarvo
