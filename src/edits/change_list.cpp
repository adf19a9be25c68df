#include "edits/change_list.h"

#include <algorithm>
#include <array>
#include <map>

#include "records/name_slot.h"
#include "records/player.h"
#include "records/team.h"
#include "store/team_table.h"
#include "text/sjis.h"

namespace tarvo {

namespace {

using What = ValueRef::What;

constexpr std::array<std::string_view, 3> kBlockNames{"boot-file data", "parameter data", "select data"};

// A private copy of three blocks, for reading through the records (which take writable views) and
// for reverting everything listed without touching the caller's blocks.
struct BlockCopy {
    explicit BlockCopy(const ConstGameBlocks& from)
        : boot(from.boot.begin(), from.boot.end()),
          parameter(from.parameter.begin(), from.parameter.end()),
          select(from.select.begin(), from.select.end()) {}
    GameBlocks view() { return {boot, parameter, select}; }
    ConstGameBlocks read() const { return {boot, parameter, select}; }
    Bytes boot, parameter, select;
};

std::array<ByteSpan, 3> blockList(const ConstGameBlocks& b) { return {b.boot, b.parameter, b.select}; }
std::array<MutableByteSpan, 3> blockList(const GameBlocks& b) { return {b.boot, b.parameter, b.select}; }

PlayerName nameOf(What what) { return what == What::FullName ? PlayerName::Full : PlayerName::Back; }
std::uint32_t idOf(const ValueRef& value) { return static_cast<std::uint32_t>(value.subject); }

Change makeChange(const ValueRef& value, std::string oldValue, std::string newValue) {
    const bool player = value.what <= What::PlayerField;
    return {player ? ChangeKind::Player : ChangeKind::Team,
            value.subject,
            valueName(value),
            std::move(oldValue),
            std::move(newValue),
            isTextValue(value),
            0,
            value};
}

void addIfChanged(std::vector<Change>& out, const GameBlocks& base, const GameBlocks& current, const ValueRef& value) {
    std::string was = valueText(base, value), now = valueText(current, value);
    if (was != now) out.push_back(makeChange(value, std::move(was), std::move(now)));
}

// The values that differ; a player whose primary entries are all equal is skipped unread.
std::vector<Change> valueChanges(const GameBlocks& base, const GameBlocks& current) {
    std::vector<Change> out;
    const auto differ = [](ByteSpan a, ByteSpan b) { return !std::ranges::equal(a, b); };
    for (std::uint32_t id = 1; id <= blockmap::kPlayerCount; ++id) {
        const int number = static_cast<int>(id);
        for (const What name : {What::FullName, What::BackName})
            if (differ(playerNameSlot(base, nameOf(name), id), playerNameSlot(current, nameOf(name), id)))
                addIfChanged(out, base, current, {name, number});
        addIfChanged(out, base, current, {What::CallNumber, number});
        if (!differ(playerRecordBytes(base, id), playerRecordBytes(current, id))) continue;
        Player was, now;
        was.load(base, id);
        now.load(current, id);
        for (std::size_t i = 0; i < kPlayerFields.size(); ++i) {
            const auto field = static_cast<PlayerFieldId>(i);
            if (was.read(field) != now.read(field))
                out.push_back(makeChange({What::PlayerField, number, static_cast<int>(i)},
                                         std::to_string(was.read(field)), std::to_string(now.read(field))));
        }
    }
    for (int row = 0; row < blockmap::kTeamRows; ++row) {
        for (std::size_t i = 0; i < kTeamFields.size(); ++i) {
            const TeamField& f = kTeamFields[i];
            const int index = static_cast<int>(i);
            if (f.kind == TeamFieldKind::Formation) {
                for (int byte = 0; byte < static_cast<int>(blockmap::kFormationSize); ++byte)
                    addIfChanged(out, base, current, {What::Formation, row, byte});
            } else if (f.perSlot) {
                for (int slot = 0; slot < squadSize(row); ++slot)
                    addIfChanged(out, base, current, {What::TeamField, row, index, slot});
            } else if (rowIsIn(row, f.rows)) {
                addIfChanged(out, base, current, {What::TeamField, row, index});
            }
        }
    }
    return out;
}

// Writes the value as `from` holds it into both copies of `to`.
void copyValue(const GameBlocks& from, const GameBlocks& to, const ValueRef& value) {
    switch (value.what) {
    case What::FullName:
    case What::BackName:  // the whole slot, so that bytes after the text come back too
        writePlayerNameSlot(to, nameOf(value.what), idOf(value), playerNameSlot(from, nameOf(value.what), idOf(value)));
        break;
    case What::CallNumber: writeCallNumber(to, idOf(value), readCallNumber(from, idOf(value))); break;
    case What::PlayerField: {
        Player source, target;
        source.load(from, idOf(value));
        target.load(to, idOf(value));
        const auto field = static_cast<PlayerFieldId>(value.index);
        target.write(field, source.read(field));
        break;
    }
    case What::TeamField: {
        const auto field = static_cast<TeamFieldId>(value.index);
        storeTeamFieldBytes(to, field, value.subject, value.slot,
                            teamFieldSlot(from, field, value.subject, value.slot));
        break;
    }
    case What::Formation:
        storeFormationByte(to, value.subject, value.index,
                           readFormation(from, value.subject)[static_cast<std::size_t>(value.index)]);
        break;
    }
}

// The bytes of `current` that differ from `base` and from `listed` (base with every listed value of
// `current` stored into it the way the editors store it): the differences no listed value covers,
// a second copy that differs from its primary among them. Bytes beyond the shorter block count.
std::size_t unlistedBytes(ByteSpan base, ByteSpan current, ByteSpan listed, MutableByteSpan revert = {}) {
    const std::size_t common = std::min({base.size(), current.size(), listed.size()});
    std::size_t count = std::max(base.size(), current.size()) - common;
    for (std::size_t i = 0; i < common; ++i) {
        if (current[i] == base[i] || current[i] == listed[i]) continue;
        ++count;
        if (i < revert.size()) revert[i] = base[i];
    }
    return count;
}

// Base with every value that differs in `current` copied over from it.
BlockCopy withListedValues(const ConstGameBlocks& base, const GameBlocks& current, std::vector<Change>* changes) {
    BlockCopy listed(base);
    std::vector<Change> found = valueChanges(listed.view(), current);
    for (const Change& change : found) copyValue(current, listed.view(), change.value);
    if (changes) *changes = std::move(found);
    return listed;
}

}  // namespace

std::vector<Change> listChanges(const ConstGameBlocks& base, const ConstGameBlocks& current) {
    BlockCopy now(current);
    std::vector<Change> changes;
    const BlockCopy listed = withListedValues(base, now.view(), &changes);
    const auto before = blockList(base), after = blockList(current);
    const auto covered = blockList(listed.read());
    for (std::size_t b = 0; b < before.size(); ++b)
        if (const std::size_t count = unlistedBytes(before[b], after[b], covered[b]))
            changes.push_back(
                {ChangeKind::Other, static_cast<int>(b), std::string(kBlockNames[b]), {}, {}, false, count, {}});
    return changes;
}

void revertChanges(const ConstGameBlocks& base, const GameBlocks& current, std::span<const Change> changes) {
    BlockCopy was(base);
    std::array<bool, 3> others{};
    for (const Change& change : changes) {
        if (change.kind == ChangeKind::Other) others[static_cast<std::size_t>(change.subject) % others.size()] = true;
        else copyValue(was.view(), current, change.value);
    }
    if (std::ranges::none_of(others, [](bool b) { return b; })) return;
    const BlockCopy listed = withListedValues(base, current, nullptr);
    const auto from = blockList(base);
    const auto target = blockList(current);
    const auto covered = blockList(listed.read());
    for (std::size_t b = 0; b < others.size(); ++b)
        if (others[b]) unlistedBytes(from[b], ByteSpan(target[b]), covered[b], target[b]);
}

std::string describeFirstChange(std::span<const Change> changes) {
    if (changes.empty()) return {};
    std::string text = describeChange(changes.front());
    if (changes.size() > 1) text += " and " + std::to_string(changes.size() - 1) + " more";
    return text;
}

std::string_view changeKindName(ChangeKind kind) {
    switch (kind) {
    case ChangeKind::Player: return "player";
    case ChangeKind::Team: return "team";
    case ChangeKind::Other: return "other";
    }
    return {};
}

namespace {

// "player 123 speed", "team 44.Brazil slot 4 id": what a change is of.
std::string valueLabel(const Change& change) {
    const std::string who = change.kind == ChangeKind::Player
                                ? "player " + std::to_string(change.subject)
                                : "team " + std::string(TeamTable[static_cast<std::size_t>(change.subject)].label);
    return who + " " + change.field;
}

std::string shownValue(const Change& change, const std::string& value) {
    return change.isText ? "\"" + value + "\"" : value;
}

}  // namespace

std::vector<Conflict> listConflicts(const ConstGameBlocks& base, const ConstGameBlocks& theirs,
                                    const ConstGameBlocks& mine) {
    const std::vector<Change> onDisk = listChanges(base, theirs);
    std::vector<Conflict> conflicts;
    for (const Change& kept : listChanges(base, mine)) {
        const auto their = std::find_if(onDisk.begin(), onDisk.end(), [&kept](const Change& other) {
            return other.kind == kept.kind && other.subject == kept.subject && other.field == kept.field;
        });
        if (their != onDisk.end() && (kept.kind == ChangeKind::Other || their->newValue != kept.newValue))
            conflicts.push_back({kept, their->newValue});
    }
    return conflicts;
}

std::string describeConflict(const Conflict& conflict) {
    const Change& kept = conflict.mine;
    if (kept.kind == ChangeKind::Other) return describeChange(kept) + " here and on disk";
    return valueLabel(kept) + ": " + shownValue(kept, conflict.theirValue) + " on disk, " +
           shownValue(kept, kept.newValue) + " kept";
}

std::string describeChange(const Change& change) {
    if (change.kind == ChangeKind::Other)
        return std::to_string(change.byteCount) + " other byte" + (change.byteCount == 1 ? "" : "s") + " of the " +
               change.field + " differ" + (change.byteCount == 1 ? "s" : "");
    return valueLabel(change) + ": " + shownValue(change, change.oldValue) + " -> " +
           shownValue(change, change.newValue);
}

std::string valueText(const GameBlocks& blocks, const ValueRef& value) {
    switch (value.what) {
    case What::FullName:
    case What::BackName: return decodeShiftJis(readPlayerName(blocks, nameOf(value.what), idOf(value)));
    case What::CallNumber: return std::to_string(readCallNumber(blocks, idOf(value)));
    case What::PlayerField: {
        Player player;
        player.load(blocks, idOf(value));
        return std::to_string(player.read(static_cast<PlayerFieldId>(value.index)));
    }
    case What::TeamField: {
        const auto field = static_cast<TeamFieldId>(value.index);
        if (isTextValue(value)) return decodeShiftJis(readNameSlot(teamFieldSlot(blocks, field, value.subject)));
        return std::to_string(readTeamValue(blocks, field, value.subject, value.slot));
    }
    case What::Formation:
        return std::to_string(readFormation(blocks, value.subject)[static_cast<std::size_t>(value.index)]);
    }
    return {};
}

void storeFormationByte(const GameBlocks& blocks, int row, int byte, std::uint8_t value) {
    if (byte < 0 || byte >= static_cast<int>(blockmap::kFormationSize)) return;
    FormationRecord formation = readFormation(blocks, row);
    formation[static_cast<std::size_t>(byte)] = value;
    storeFormation(blocks, row, formation);
}

std::vector<ChangeGroup> groupChanges(const std::vector<Change>& changes) {
    std::map<std::string, std::size_t> players;  // changed players per player value
    for (const Change& change : changes)
        if (change.kind == ChangeKind::Player) ++players[change.field];
    std::vector<ChangeGroup> groups;
    std::map<std::string, std::size_t> groupOf;  // the group of each shared player value
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const Change& change = changes[i];
        if (change.kind != ChangeKind::Player || players[change.field] < 2) {
            groups.push_back({describeChange(change), {i}});
            continue;
        }
        const auto [at, added] = groupOf.try_emplace(change.field, groups.size());
        if (added) groups.push_back({change.field + ": " + std::to_string(players[change.field]) + " players", {}});
        groups[at->second].members.push_back(i);
    }
    return groups;
}

}  // namespace tarvo
