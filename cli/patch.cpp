#include "patch.h"

#include <charconv>
#include <map>
#include <set>
#include <tuple>

#include "csv.h"
#include "input_text.h"
#include "record_edits.h"
#include "records/player_tables.h"
#include "records/team.h"
#include "records/team_fields.h"
#include "store/team_table.h"
#include "text/sjis.h"

namespace tarvo::cli {
namespace {

constexpr std::size_t kPatchCells = 5;  // kind, number, field, old, new
constexpr std::int64_t kLargestNumber = 1'000'000'000;

std::string lineNumber(std::size_t line) { return "line " + std::to_string(line) + ": "; }

// "player 12 speed", "team 44.Brazil slot 4 id": the value a line names.
std::string valueLabel(const PatchLine& line) {
    if (line.kind == ChangeKind::Player) return "player " + std::to_string(line.number) + " " + line.field;
    return "team " + std::string(TeamTable[static_cast<std::size_t>(line.number)].label) + " " + line.field;
}

std::string unknownValue(const PatchLine& line) {
    if (line.kind == ChangeKind::Player) {
        if (!isPlayerId(line.number)) return std::string(playerIdRefusal());
        return "unknown player value \"" + shownValue(line.field) + "\"";
    }
    if (!rowIsIn(line.number, TeamRows::All)) return teamRowRefusal("ROW");
    return "team row " + std::to_string(line.number) + " has no value \"" + shownValue(line.field) + "\"";
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
    if (line.kind != ChangeKind::Team || !rowIsIn(line.number, TeamRows::All) || !line.field.starts_with(kSlotWord))
        return line.field;
    const std::string_view field(line.field);
    const auto space = field.find(' ', kSlotWord.size());
    const std::string_view digits = field.substr(kSlotWord.size(), space - kSlotWord.size());
    int slot = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), slot);
    if (digits.empty() || (digits.size() > 1 && digits.front() == '0') || error != std::errc{} ||
        end != digits.data() + digits.size() || slot < 0 || slot >= squadSize(line.number) ||
        space == std::string_view::npos)
        return std::nullopt;
    return slotName(slot) + std::string(field.substr(space));
}

// A line's change once checked: stored after every line has been checked.
struct Checked {
    std::uint32_t id = 0;  // of a player's change
    PlayerChange player;
    TeamChange team;
};

// NEW for the value, checked as set-player and set-team check it, or as the formation editor
// limits a formation.
std::variant<Checked, std::string> checkNewValue(const PatchLine& line, const ValueRef& value, std::uint32_t skin) {
    const Assignment assignment{line.field, line.newValue};
    if (line.kind == ChangeKind::Player) {
        const auto id = static_cast<std::uint32_t>(line.number);
        auto checked = checkPlayerChange(id, assignment, skin);
        if (auto* refusal = std::get_if<std::string>(&checked)) return *refusal;
        return Checked{id, std::get<PlayerChange>(std::move(checked)), {}};
    }
    if (value.what == ValueRef::What::Formation) {
        const auto v = parseInteger(line.newValue);
        if (auto refusal = formationValueRefusal(value.index, v.value_or(-1))) return *refusal;
        return Checked{0, {}, [value, v = static_cast<std::uint8_t>(*v)](const GameBlocks& b) {
                           storeFormationByte(b, value.number, value.index, v);
                       }};
    }
    auto checked = checkTeamChange(line.number, assignment);
    if (auto* refusal = std::get_if<std::string>(&checked)) return *refusal;
    return Checked{0, {}, std::get<TeamChange>(std::move(checked))};
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
            return fail(record->line, "\"" + shownValue(kind) + "\" should be player or team");
        const auto number = cells[1].size() <= kMaxNumberCharacters ? parseInteger(cells[1]) : std::nullopt;
        if (!number || *number < -kLargestNumber || *number > kLargestNumber)
            return fail(record->line, "\"" + shownValue(cells[1]) + "\" should be a player ID or a team row");
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
        const auto value = valueNamed(line.kind, line.number, line.field);
        if (!value) return fail(line.line, unknownValue(line));
        for (const std::string* cell : {&line.oldValue, &line.newValue})
            if (auto refusal = cellLengthRefusal(value, *cell))
                return fail(line.line, valueLabel(line) + ": " + *refusal);
        const auto [first, added] = seen.try_emplace({line.kind, line.number, line.field}, line.line);
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
                {std::string(changeKindName(c.kind)), std::to_string(c.number), c.field, c.oldValue, c.newValue});
    return text;
}

std::string applyPatch(const GameBlocks& blocks, const std::vector<PatchLine>& lines) {
    // The face's bound follows the skin a player will have after the patch.
    std::map<int, std::uint32_t> skins;
    for (const PatchLine& line : lines) {
        const auto v =
            line.kind == ChangeKind::Player && line.field == "skin" ? parseInteger(line.newValue) : std::nullopt;
        if (v && *v >= 0 && *v <= 0xFFFF && editorAllows(PlayerFieldId::Skin, static_cast<std::uint32_t>(*v), 0))
            skins[line.number] = static_cast<std::uint32_t>(*v);
    }
    std::vector<Checked> changes;
    std::map<std::tuple<ChangeKind, int, std::string>, std::size_t> seen;  // the line of each value
    for (const PatchLine& line : lines) {
        const std::string where = lineNumber(line.line);
        const auto value = valueNamed(line.kind, line.number, line.field);
        if (!value) return where + unknownValue(line);
        const auto [first, added] = seen.try_emplace({line.kind, line.number, line.field}, line.line);
        if (!added)
            return where + valueLabel(line) + " is changed on line " + std::to_string(first->second) + " already";
        const std::string now = valueText(blocks, *value);
        if (now == storedText(*value, line.newValue)) continue;  // done already
        if (now != storedText(*value, line.oldValue))
            return where + valueLabel(line) + " is \"" + shownValue(now) + "\" here, not \"" +
                   shownValue(line.oldValue) + "\" as the patch expects";
        std::uint32_t skin = 0;
        if (line.kind == ChangeKind::Player) {
            const auto after = skins.find(line.number);
            Player player;
            player.load(blocks, static_cast<std::uint32_t>(line.number));
            skin = after != skins.end() ? after->second : player.read(PlayerFieldId::Skin);
        }
        auto checked = checkNewValue(line, *value, skin);
        if (auto* refusal = std::get_if<std::string>(&checked)) return where + *refusal;
        changes.push_back(std::get<Checked>(std::move(checked)));
    }
    Player player;
    for (const Checked& change : changes) {
        if (change.player) {
            player.load(blocks, change.id);
            change.player(blocks, player);
        } else {
            change.team(blocks);
        }
    }
    return {};
}

}  // namespace tarvo::cli
