#include "records/team.h"

#include <algorithm>

#include "records/name_slot.h"
#include "records/player.h"
#include "store/team_table.h"

namespace tarvo {

namespace {

using namespace blockmap;

bool validRow(int row) { return rowIsIn(row, TeamRows::All); }
bool validSlot(int row, int slot) { return validRow(row) && slot >= 0 && slot < squadSize(row); }
std::size_t rowIndex(int row) { return static_cast<std::size_t>(row); }

// `size` bytes at `offset` of a block; empty when they do not lie inside it.
MutableByteSpan spanAt(MutableByteSpan block, std::size_t offset, std::size_t size) {
    if (!fitsIn(block.size(), offset, size)) return {};
    return block.subspan(offset, size);
}

// Rows without a club name show the 2-byte slot at parameter offset 48, which nobody owns.
constexpr std::size_t kNoClubNameOffset = 48;
constexpr std::size_t kNoClubNameSize = 2;

// The bytes of a field's value of the row in one array (the first copy, or the second).
MutableByteSpan fieldSlot(const GameBlocks& blocks, TeamFieldId field, const TeamArray& at, int row, int slot) {
    const TeamField& f = teamField(field);
    if (!rowIsIn(row, f.rows) || (f.perSlot ? !validSlot(row, slot) : slot != 0)) return {};
    const MutableByteSpan block = at.block == TeamBlock::Boot ? blocks.boot : blocks.parameter;
    std::size_t entry;  // where the row's entry starts
    std::size_t size = f.size;
    if (at.offset == kNoArray) {  // a name whose place the team table gives
        const auto& names = TeamTable[rowIndex(row)];
        const bool club = field == TeamFieldId::ClubName;
        entry = (club ? names.clubNameOffset : names.teamNameOffset) + at.stride;
        if (!club) size = names.teamNameLength;
    } else if (row >= kNationalRows && at.clubOffset != 0) {  // the clubs' own array
        if (at.clubOffset == kNoArray) return {};
        entry = at.clubOffset + at.clubStride * static_cast<std::size_t>(row - kNationalRows);
    } else {
        entry = at.offset + at.stride * rowIndex(row);
    }
    const std::size_t within = f.perSlot ? f.size * static_cast<std::size_t>(slot) : f.index;
    return spanAt(block, entry + within, size);
}

constexpr std::string_view kNoSuchSlot = "no such squad slot";

// "0 to 105", "65 to 104".
std::string rowsText(int first, int last) {
    std::string text = std::to_string(first);
    text += " to ";
    text += std::to_string(last);
    return text;
}

// The kind of a row that is none is that of the nearest row.
const TeamRowKind& kindOfRow(int row) { return *rowKindOf(std::clamp(row, kFirstTeamRow, kLastTeamRow)); }

// Clubs and the default team row may leave their slots after the first 23 empty (ID 0).
bool slotMayBeEmpty(int row, int slot) { return slot >= kindOfRow(row).emptySlotsFrom; }

}  // namespace

MutableByteSpan teamFieldSlot(const GameBlocks& blocks, TeamFieldId field, int row, int slot) {
    const TeamField& f = teamField(field);
    return fieldSlot(blocks, field, f.where, row, slot);
}

MutableByteSpan teamFieldCopySlot(const GameBlocks& blocks, TeamFieldId field, int row, int slot) {
    const TeamField& f = teamField(field);
    return f.copy ? fieldSlot(blocks, field, *f.copy, row, slot) : MutableByteSpan{};
}

int teamNameMaxBytes(TeamFieldId field, int row) {
    if (!rowIsIn(row, teamField(field).rows)) return 0;
    if (field == TeamFieldId::TeamName)
        return static_cast<int>(maxNameTextBytes(TeamTable[rowIndex(row)].teamNameLength));
    return teamField(field).max;
}

int readTeamValue(const GameBlocks& blocks, TeamFieldId field, int row, int slot) {
    const TeamField& f = teamField(field);
    const auto bytes = teamFieldSlot(blocks, field, row, slot);
    if (bytes.empty()) return 0;
    const int stored = f.size == 2 ? readU16LE(bytes, 0).value_or(0) : bytes[0];
    return (stored - f.bias) / f.scale;
}

void storeTeamFieldBytes(const GameBlocks& blocks, TeamFieldId field, int row, int slot, ByteSpan bytes) {
    for (const auto slotBytes : {teamFieldSlot(blocks, field, row, slot), teamFieldCopySlot(blocks, field, row, slot)})
        if (!slotBytes.empty() && slotBytes.size() == bytes.size())
            std::copy(bytes.begin(), bytes.end(), slotBytes.begin());
}

std::optional<std::string> teamEditRefusal(TeamFieldId field, int row) {
    const TeamField& f = teamField(field);
    if (!validRow(row)) return "there is no team row " + std::to_string(row);
    if (rowIsIn(row, f.edited)) return std::nullopt;
    switch (f.kind) {
    case TeamFieldKind::Name:
        if (field == TeamFieldId::ClubName) {
            const TeamRowKind& clubs = rowKind(TeamKind::Club);
            std::string text = "only clubs (rows ";
            text += rowsText(clubs.firstRow, clubs.lastRow);
            text += ") have a club name";
            return text;
        }
        return std::string("the names of row ").append(std::to_string(row)).append(" are not edited");
    case TeamFieldKind::Tactics: return std::string("row ").append(std::to_string(row)).append(" has no tactics");
    default: return "row " + std::to_string(row) + " has no " + std::string(f.name);
    }
}

std::optional<std::string> teamValueRefusal(TeamFieldId field, int row, int slot, std::int64_t shown) {
    const TeamField& f = teamField(field);
    if (field == TeamFieldId::SquadId) {
        if (!validSlot(row, slot)) return std::string(kNoSuchSlot);
        const bool mayBeEmpty = slotMayBeEmpty(row, slot);
        if (shown < (mayBeEmpty ? 0 : 1) || shown > f.max) return std::string(playerIdRefusal(mayBeEmpty));
        return std::nullopt;
    }
    if (f.perSlot && !validSlot(row, slot)) return std::string(kNoSuchSlot);
    if (auto refusal = teamEditRefusal(field, row)) return refusal;
    if (shown < f.min || shown > f.max) {
        if (field == TeamFieldId::Shirt) return std::string("shirt numbers are ").append(rowsText(f.min, f.max));
        return std::string(f.name) + " should be " + std::to_string(f.min) + " to " + std::to_string(f.max);
    }
    return std::nullopt;
}

void storeTeamValue(const GameBlocks& blocks, TeamFieldId field, int row, int slot, int shown) {
    const TeamField& f = teamField(field);
    const int stored = shown * f.scale + f.bias;
    for (const auto bytes : {teamFieldSlot(blocks, field, row, slot), teamFieldCopySlot(blocks, field, row, slot)}) {
        if (bytes.empty()) continue;
        if (f.size == 2) writeU16LE(bytes, 0, static_cast<std::uint16_t>(stored));
        else bytes[0] = static_cast<std::uint8_t>(stored);
    }
}

TeamKind teamKind(int row) { return kindOfRow(row).kind; }

int squadSize(int row) { return kindOfRow(row).squadSlots; }

std::string teamRowRangeText() { return rowsText(kFirstTeamRow, kLastTeamRow); }

std::string teamRowRefusal(std::string_view rowWord) {
    std::string text(rowWord);
    text += " should be ";
    text += teamRowRangeText();
    return text;
}

int slotNumber(int slot) { return slot + 1; }

std::string slotName(int slot) { return std::string(kSlotWord) + std::to_string(slotNumber(slot)); }

std::optional<int> slotOfNumber(std::string_view number, int row) {
    constexpr std::size_t kMaxDigits = 2;  // squads have at most 40 slots
    if (!validRow(row) || number.empty() || number.size() > kMaxDigits || number.front() == '0' ||
        !std::ranges::all_of(number, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int shown = 0;
    for (const char c : number) shown = shown * 10 + (c - '0');
    const int slot = shown - 1;
    if (slot >= squadSize(row)) return std::nullopt;
    return slot;
}

std::string slotRangeText(int row) {
    return "row " + std::to_string(row) + " has slots " + std::to_string(slotNumber(0)) + " to " +
           std::to_string(slotNumber(squadSize(row) - 1));
}

MutableByteSpan teamNameSlot(const GameBlocks& blocks, int row) {
    return teamFieldSlot(blocks, TeamFieldId::TeamName, row);
}

Bytes readTeamName(const GameBlocks& blocks, int row) { return readNameSlot(teamNameSlot(blocks, row)); }

bool storeTeamName(const GameBlocks& blocks, int row, ByteSpan text) {
    return storeTeamNameField(blocks, TeamFieldId::TeamName, row, text);
}

Bytes readClubName(const GameBlocks& blocks, int row) {
    if (isClub(row)) return readNameSlot(teamFieldSlot(blocks, TeamFieldId::ClubName, row));
    if (!validRow(row)) return {};
    return readNameSlot(spanAt(blocks.parameter, kNoClubNameOffset, kNoClubNameSize));
}

bool storeClubName(const GameBlocks& blocks, int row, ByteSpan text) {
    return storeTeamNameField(blocks, TeamFieldId::ClubName, row, text);
}

bool storeTeamNameField(const GameBlocks& blocks, TeamFieldId field, int row, ByteSpan text) {
    const auto first = teamFieldSlot(blocks, field, row);
    const auto second = teamFieldCopySlot(blocks, field, row);
    if (first.empty() || (teamField(field).copy && second.empty()) || text.size() >= first.size()) return false;
    storeNameSlot(first, text);
    if (!second.empty()) storeNameSlot(second, text);
    return true;
}

MutableByteSpan shortNameSlot(const GameBlocks& blocks, int row) {
    return teamFieldSlot(blocks, TeamFieldId::ShortName, row);
}

Bytes readShortName(const GameBlocks& blocks, int row) { return readNameSlot(shortNameSlot(blocks, row)); }

bool storeShortName(const GameBlocks& blocks, int row, ByteSpan text) {
    return storeTeamNameField(blocks, TeamFieldId::ShortName, row, text);
}

std::uint8_t readTacticsByte(const GameBlocks& blocks, int row, int k) {
    const auto bytes = teamFieldSlot(blocks, tacticsField(k), row);
    return bytes.empty() ? 0 : bytes[0];
}

int readTactics(const GameBlocks& blocks, int row, int k) { return readTeamValue(blocks, tacticsField(k), row); }

void storeTactics(const GameBlocks& blocks, int row, int k, int shown) {
    if (k >= 0 && k < kTacticsCount) storeTeamValue(blocks, tacticsField(k), row, 0, shown);
}

int readSetPiece(const GameBlocks& blocks, int row, int k) {
    return k >= 0 && k < kSetPieceCount ? readTeamValue(blocks, setPieceField(k), row) : 0;
}

void storeSetPiece(const GameBlocks& blocks, int row, int k, int index) {
    if (k >= 0 && k < kSetPieceCount) storeTeamValue(blocks, setPieceField(k), row, 0, index);
}

FormationRecord readFormation(const GameBlocks& blocks, int row) {
    FormationRecord formation{};
    const auto entry = teamFieldSlot(blocks, TeamFieldId::Formation, row);
    if (!entry.empty()) std::copy(entry.begin(), entry.end(), formation.begin());
    return formation;
}

void storeFormation(const GameBlocks& blocks, int row, const FormationRecord& formation) {
    const auto entry = teamFieldSlot(blocks, TeamFieldId::Formation, row);
    if (!entry.empty()) std::copy(formation.begin(), formation.end(), entry.begin());
}

std::uint16_t readSquadId(const GameBlocks& blocks, int row, int slot) {
    return static_cast<std::uint16_t>(readTeamValue(blocks, TeamFieldId::SquadId, row, slot));
}

std::optional<std::string_view> squadIdRefusal(int row, int slot, std::int64_t id) {
    if (!validSlot(row, slot)) return kNoSuchSlot;
    if (!teamValueRefusal(TeamFieldId::SquadId, row, slot, id)) return std::nullopt;
    return playerIdRefusal(slotMayBeEmpty(row, slot));
}

std::optional<std::string_view> setSquadId(const GameBlocks& blocks, int row, int slot, std::int64_t id) {
    if (auto refusal = squadIdRefusal(row, slot, id)) return refusal;
    storeSquadId(blocks, row, slot, static_cast<std::uint16_t>(id));
    return std::nullopt;
}

void storeSquadId(const GameBlocks& blocks, int row, int slot, std::uint16_t id) {
    storeTeamValue(blocks, TeamFieldId::SquadId, row, slot, id);  // national teams: both copies
}

std::uint8_t readShirtByte(const GameBlocks& blocks, int row, int slot) {
    const auto bytes = teamFieldSlot(blocks, TeamFieldId::Shirt, row, slot);
    return bytes.empty() ? 0 : bytes[0];
}

int readShirt(const GameBlocks& blocks, int row, int slot) { return readShirtByte(blocks, row, slot) + 1; }

void storeShirt(const GameBlocks& blocks, int row, int slot, int shown) {
    storeTeamValue(blocks, TeamFieldId::Shirt, row, slot, shown);
}

void storeShirtByte(const GameBlocks& blocks, int row, int slot, std::uint8_t stored) {
    const auto bytes = teamFieldSlot(blocks, TeamFieldId::Shirt, row, slot);
    if (!bytes.empty()) bytes[0] = stored;
}

void storeTacticsByte(const GameBlocks& blocks, int row, int k, std::uint8_t stored) {
    const auto bytes = k >= 0 && k < kTacticsCount ? teamFieldSlot(blocks, tacticsField(k), row) : MutableByteSpan{};
    if (!bytes.empty()) bytes[0] = stored;
}

std::optional<TeamFieldId> teamFieldNamed(std::string_view name) {
    for (std::size_t i = 0; i < kTeamFields.size(); ++i)
        if (kTeamFields[i].name == name) return static_cast<TeamFieldId>(i);
    return std::nullopt;
}

}  // namespace tarvo
