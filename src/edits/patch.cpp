#include "edits/patch.h"

#include <charconv>
#include <functional>
#include <map>
#include <set>
#include <tuple>
#include <variant>

#include "edits/csv.h"
#include "edits/input_text.h"
#include "edits/value_edits.h"
#include "records/player.h"
#include "records/player_tables.h"
#include "records/team.h"
#include "records/team_fields.h"
#include "store/team_table.h"
#include "text/sjis.h"

namespace tarvo {
namespace {

constexpr std::size_t kPatchCells = 5;  // kind, number, field, old, new
constexpr std::int64_t kLargestNumber = 1'000'000'000;

std::string lineNumber(std::size_t line) { return "line " + std::to_string(line) + ": "; }

// "player 12 speed", "team 44.Brazil slot 4 id": the value a line names.
std::string valueLabel(const PatchLine& line) {
    if (line.kind == ChangeKind::Player) return "player " + std::to_string(line.subject) + " " + line.field;
    return "team " + std::string(TeamTable[static_cast<std::size_t>(line.subject)].label) + " " + line.field;
}

std::string unknownValue(const PatchLine& line) {
    if (line.kind == ChangeKind::Player) {
        if (!isPlayerId(static_cast<std::uint32_t>(line.subject)) || line.subject < 0)
            return std::string(playerIdRefusal());
        return "unknown player value \"" + shownValue(line.field) + "\"";
    }
    if (!rowIsIn(line.subject, TeamRows::All)) return teamRowRefusal("ROW");
    return "team row " + std::to_string(line.subject) + " has no value \"" + shownValue(line.field) + "\"";
}

// A value as it reads back once stored: a number in plain decimal ("+9" is 9), a name in the code
// page's own form of the few characters that have more than one. So that a patch applied twice
// holds the second time.
std::string storedText(const ValueRef& value, const std::string& text) {
    if (!isTextValue(value)) {
        const auto number = parseInteger(text);
        return number ? std::to_string(*number) : text;
    }
    const EncodeResult encoded = encodeShiftJis(text);
    return encoded.refused ? text : decodeShiftJis(encoded.bytes);
}

// A version 1 line's FIELD as version 2 names it: "slot 0 id" becomes "slot 1 id". Nullopt for a
// slot that the row does not have; any other FIELD stays as it is.
std::optional<std::string> fieldFromSlotsFrom0(const PatchLine& line) {
    if (line.kind != ChangeKind::Team || !rowIsIn(line.subject, TeamRows::All) || !line.field.starts_with(kSlotWord))
        return line.field;
    const std::string_view field(line.field);
    const auto space = field.find(' ', kSlotWord.size());
    const std::string_view digits = field.substr(kSlotWord.size(), space - kSlotWord.size());
    int slot = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), slot);
    if (digits.empty() || (digits.size() > 1 && digits.front() == '0') || error != std::errc{} ||
        end != digits.data() + digits.size() || slot < 0 || slot >= squadSize(line.subject) ||
        space == std::string_view::npos)
        return std::nullopt;
    return slotName(slot) + std::string(field.substr(space));
}

// A formation byte's NEW, checked as the formation editor limits a formation: its store, or the
// refusal.
std::variant<std::function<void(const GameBlocks&)>, std::string> checkFormationByte(const ValueRef& value,
                                                                                     const std::string& text) {
    const auto v = parseInteger(text);
    if (auto refusal = formationValueRefusal(value.index, v.value_or(-1))) return *refusal;
    return [value, v = static_cast<std::uint8_t>(*v)](const GameBlocks& b) {
        storeFormationByte(b, value.subject, value.index, v);
    };
}

}  // namespace

Patch parsePatch(std::string_view text) {
    Patch patch;
    CsvReader reader(text);
    const auto fail = [&patch](std::size_t line, const std::string& reason) {
        patch.lines.clear();
        patch.error = lineNumber(line) + reason;
        return patch;
    };
    const auto header = reader.next();
    if (!header && !reader.error().empty()) return {{}, reader.error()};
    const auto isHeader = [&header](std::string_view expected) {
        return header && header->line == 1 && header->fields == std::vector{std::string(expected)};
    };
    const bool slotsFrom0 = isHeader(kPatchHeaderSlotsFrom0);
    if (!isHeader(kPatchHeader) && !slotsFrom0)
        return fail(1, "a patch starts with the line \"" + std::string(kPatchHeader) + "\" (or \"" +
                           std::string(kPatchHeaderSlotsFrom0) + "\")");
    // The line of each value: a value changed twice would make the result depend on the order.
    std::map<std::tuple<ChangeKind, int, std::string>, std::size_t> seen;
    while (auto record = reader.next()) {
        std::vector<std::string>& cells = record->fields;
        if (cells.size() != kPatchCells)
            return fail(record->line,
                        std::to_string(cells.size()) +
                            " cells where a patch line has 5: player or team, ID or row, value, old, new");
        const std::string& kind = cells[0];
        if (kind != changeKindName(ChangeKind::Player) && kind != changeKindName(ChangeKind::Team))
            return fail(record->line, quoted(kind) + " should be player or team");
        const auto number = cells[1].size() <= kMaxNumberCharacters ? parseInteger(cells[1]) : std::nullopt;
        if (!number || *number < -kLargestNumber || *number > kLargestNumber)
            return fail(record->line, quoted(cells[1]) + " should be a player ID or a team row");
        PatchLine line{record->line,
                       kind == changeKindName(ChangeKind::Player) ? ChangeKind::Player : ChangeKind::Team,
                       static_cast<int>(*number),
                       std::move(cells[2]),
                       std::move(cells[3]),
                       std::move(cells[4])};
        if (slotsFrom0) {
            auto field = fieldFromSlotsFrom0(line);
            if (!field) return fail(line.line, unknownValue(line));
            line.field = std::move(*field);
        }
        const auto value = valueNamed(line.kind, line.subject, line.field);
        if (!value) return fail(line.line, unknownValue(line));
        for (const std::string* cell : {&line.oldValue, &line.newValue})
            if (auto refusal = cellLengthRefusal(value, *cell))
                return fail(line.line, valueLabel(line) + ": " + *refusal);
        const auto [first, added] = seen.try_emplace({line.kind, line.subject, line.field}, line.line);
        if (!added)
            return fail(line.line,
                        valueLabel(line) + " is changed on line " + std::to_string(first->second) + " already");
        patch.lines.push_back(std::move(line));
    }
    if (!reader.error().empty()) return {{}, reader.error()};
    return patch;
}

std::string patchText(const std::vector<Change>& changes) {
    std::string text = csvRecord({std::string(kPatchHeader)});
    for (const Change& c : changes)
        if (c.kind != ChangeKind::Other)
            text += csvRecord(
                {std::string(changeKindName(c.kind)), std::to_string(c.subject), c.field, c.oldValue, c.newValue});
    return text;
}

std::string applyPatch(const GameBlocks& blocks, const std::vector<PatchLine>& lines) {
    // Every line's refusal by its line; the first is the patch's. A line's own (a value unknown or
    // named twice, OLD not what the blocks hold) goes before the check of its NEW.
    std::map<std::size_t, std::string> refusals;
    // The lines that change a player's or a row's values, checked together: a face by the skin the
    // patch gives the player, even on a line whose OLD is refused.
    std::map<std::pair<ChangeKind, int>, std::vector<const PatchLine*>> changing;
    std::vector<std::function<void(const GameBlocks&)>> stores;
    std::map<std::tuple<ChangeKind, int, std::string>, std::size_t> seen;  // the line of each value
    for (const PatchLine& line : lines) {
        const auto value = valueNamed(line.kind, line.subject, line.field);
        if (!value) {
            refusals.emplace(line.line, unknownValue(line));
            continue;
        }
        const auto [first, added] = seen.try_emplace({line.kind, line.subject, line.field}, line.line);
        if (!added) {
            refusals.emplace(line.line,
                             valueLabel(line) + " is changed on line " + std::to_string(first->second) + " already");
            continue;
        }
        const std::string now = valueText(blocks, *value);
        if (now == storedText(*value, line.newValue)) continue;  // done already
        const bool expected = now == storedText(*value, line.oldValue);
        if (!expected)
            refusals.emplace(line.line, valueLabel(line) + " is \"" + shownValue(now) + "\" here, not \"" +
                                            shownValue(line.oldValue) + "\" as the patch expects");
        if (value->what != ValueRef::What::Formation) {
            changing[{line.kind, line.subject}].push_back(&line);
        } else if (expected) {
            auto checked = checkFormationByte(*value, line.newValue);
            if (auto* refusal = std::get_if<std::string>(&checked)) refusals.emplace(line.line, std::move(*refusal));
            else stores.push_back(std::get<0>(std::move(checked)));
        }
    }
    for (const auto& [who, group] : changing) {
        std::vector<Assignment> assignments;
        for (const PatchLine* line : group) assignments.push_back({line->field, line->newValue});
        CheckedChanges checked = who.first == ChangeKind::Player
                                     ? checkPlayerChanges(blocks, static_cast<std::uint32_t>(who.second), assignments)
                                     : checkTeamChanges(who.second, assignments);
        if (checked.refusedAt) refusals.emplace(group[*checked.refusedAt]->line, std::move(checked.refusal));
        else stores.push_back(std::move(checked.store));
    }
    if (!refusals.empty()) return lineNumber(refusals.begin()->first) + refusals.begin()->second;
    for (const auto& store : stores) store(blocks);
    return {};
}

}  // namespace tarvo
