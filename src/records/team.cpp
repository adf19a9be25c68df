#include "records/team.h"

#include <algorithm>

#include "records/name_slot.h"
#include "store/team_table.h"

namespace tarvo {

namespace {

using namespace blockmap;

bool validRow(int row) { return row >= 0 && row < kTeamRows; }

// `size` bytes at `offset` of a block; empty when they do not lie inside it.
MutableByteSpan spanAt(MutableByteSpan block, std::size_t offset, std::size_t size) {
    if (!fitsIn(block.size(), offset, size)) return {};
    return block.subspan(offset, size);
}

std::size_t rowIndex(int row) { return static_cast<std::size_t>(row); }
std::size_t clubIndex(int row) { return static_cast<std::size_t>(row - kNationalRows); }

// Rows without a club name show the 2-byte slot at parameter offset 48, which nobody owns.
constexpr std::size_t kNoClubNameOffset = 48;
constexpr std::size_t kNoClubNameSize = 2;

MutableByteSpan clubNameSlot(const GameBlocks& blocks, int row, std::size_t copy) {
    if (!isClub(row)) return {};
    const auto& r = TeamTable[rowIndex(row)];
    return spanAt(blocks.parameter, r.clubNameOffset + copy * kClubNameCopyDistance, kClubNameSize);
}

MutableByteSpan tacticsEntry(const GameBlocks& blocks, int row) {
    if (!hasTactics(row)) return {};
    return spanAt(blocks.boot, kTacticsOffset + kTacticsCount * rowIndex(row), kTacticsCount);
}

MutableByteSpan setPieceEntry(const GameBlocks& blocks, int row) {
    if (!validRow(row)) return {};
    return spanAt(blocks.boot, kSetPiecesOffset + kSetPieceCount * rowIndex(row), kSetPieceCount);
}

MutableByteSpan formationEntry(const GameBlocks& blocks, int row) {
    if (!validRow(row)) return {};
    return spanAt(blocks.boot, kFormationsOffset + kFormationSize * rowIndex(row), kFormationSize);
}

bool validSlot(int row, int slot) { return validRow(row) && slot >= 0 && slot < squadSize(row); }

// The squad's IDs (parameter data), and for national teams the copy in the boot-file data.
MutableByteSpan squadEntry(const GameBlocks& blocks, int row) {
    if (!validRow(row)) return {};
    const std::size_t bytes = 2 * static_cast<std::size_t>(squadSize(row));
    if (row < kNationalRows) return spanAt(blocks.parameter, kNationalSquadOffset + bytes * rowIndex(row), bytes);
    return spanAt(blocks.parameter, kClubSquadOffset + bytes * clubIndex(row), bytes);
}

MutableByteSpan squadCopyEntry(const GameBlocks& blocks, int row) {
    if (!validRow(row) || row >= kNationalRows) return {};
    return spanAt(blocks.boot, kNationalSquadCopyOffset + kNationalSquadCopyStride * rowIndex(row),
                  2 * static_cast<std::size_t>(kNationalSquadSize));
}

MutableByteSpan shirtEntry(const GameBlocks& blocks, int row) {
    if (!validRow(row)) return {};
    const std::size_t n = static_cast<std::size_t>(squadSize(row));
    if (row < kNationalRows) return spanAt(blocks.parameter, kNationalShirtsOffset + n * rowIndex(row), n);
    return spanAt(blocks.parameter, kClubShirtsOffset + n * clubIndex(row), n);
}

std::uint8_t byteAt(ByteSpan entry, int k) {
    return k >= 0 && static_cast<std::size_t>(k) < entry.size() ? entry[static_cast<std::size_t>(k)] : 0;
}

void storeByte(MutableByteSpan entry, int k, int value) {
    if (k >= 0 && static_cast<std::size_t>(k) < entry.size())
        entry[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(value);
}

constexpr std::string_view kIdFrom1 = "ID should be 1--2197";
constexpr std::string_view kIdFrom0 = "ID should be 0--2197";
constexpr std::string_view kNoSuchSlot = "no such squad slot";

}  // namespace

TeamKind teamKind(int row) {
    if (row < kNationalRows) return TeamKind::National;
    return row < kDefaultTeamRow ? TeamKind::Club : TeamKind::Default;
}

int squadSize(int row) { return row < kNationalRows ? kNationalSquadSize : kClubSquadSize; }

MutableByteSpan teamNameSlot(const GameBlocks& blocks, int row) {
    if (!validRow(row)) return {};
    const auto& r = TeamTable[rowIndex(row)];
    return spanAt(blocks.boot, r.teamNameOffset, r.teamNameLength);
}

Bytes readTeamName(const GameBlocks& blocks, int row) { return readNameSlot(teamNameSlot(blocks, row)); }

bool storeTeamName(const GameBlocks& blocks, int row, ByteSpan text) {
    return storeNameSlot(teamNameSlot(blocks, row), text);
}

Bytes readClubName(const GameBlocks& blocks, int row) {
    if (isClub(row)) return readNameSlot(clubNameSlot(blocks, row, 0));
    if (!validRow(row)) return {};
    return readNameSlot(spanAt(blocks.parameter, kNoClubNameOffset, kNoClubNameSize));
}

bool storeClubName(const GameBlocks& blocks, int row, ByteSpan text) {
    const auto first = clubNameSlot(blocks, row, 0);
    const auto second = clubNameSlot(blocks, row, 1);
    if (first.empty() || second.empty() || text.size() >= kClubNameSize) return false;
    storeNameSlot(first, text);
    storeNameSlot(second, text);
    return true;
}

MutableByteSpan shortNameSlot(const GameBlocks& blocks, int row) {
    if (!validRow(row)) return {};
    return spanAt(blocks.boot, kShortNamesOffset + kShortNameSize * rowIndex(row), kShortNameSize);
}

Bytes readShortName(const GameBlocks& blocks, int row) { return readNameSlot(shortNameSlot(blocks, row)); }

bool storeShortName(const GameBlocks& blocks, int row, ByteSpan text) {
    return storeNameSlot(shortNameSlot(blocks, row), text);
}

std::uint8_t readTacticsByte(const GameBlocks& blocks, int row, int k) { return byteAt(tacticsEntry(blocks, row), k); }

int readTactics(const GameBlocks& blocks, int row, int k) { return readTacticsByte(blocks, row, k) / 5; }

void storeTactics(const GameBlocks& blocks, int row, int k, int shown) {
    storeByte(tacticsEntry(blocks, row), k, 5 * shown);
}

int readSetPiece(const GameBlocks& blocks, int row, int k) { return byteAt(setPieceEntry(blocks, row), k); }

void storeSetPiece(const GameBlocks& blocks, int row, int k, int index) {
    storeByte(setPieceEntry(blocks, row), k, index);
}

FormationRecord readFormation(const GameBlocks& blocks, int row) {
    FormationRecord formation{};
    const auto entry = formationEntry(blocks, row);
    if (!entry.empty()) std::copy(entry.begin(), entry.end(), formation.begin());
    return formation;
}

void storeFormation(const GameBlocks& blocks, int row, const FormationRecord& formation) {
    const auto entry = formationEntry(blocks, row);
    if (!entry.empty()) std::copy(formation.begin(), formation.end(), entry.begin());
}

std::uint16_t readSquadId(const GameBlocks& blocks, int row, int slot) {
    if (!validSlot(row, slot)) return 0;
    return readU16LE(squadEntry(blocks, row), 2 * static_cast<std::size_t>(slot)).value_or(0);
}

std::optional<std::string_view> squadIdRefusal(int row, int slot, std::int64_t id) {
    if (!validSlot(row, slot)) return kNoSuchSlot;
    // Clubs and the default row may leave the slots after the first 23 empty (ID 0).
    const bool mayBeEmpty = row >= kNationalRows && slot >= kNationalSquadSize;
    const std::int64_t lowest = mayBeEmpty ? 0 : 1;
    if (id < lowest || id > static_cast<std::int64_t>(kPlayerCount)) return mayBeEmpty ? kIdFrom0 : kIdFrom1;
    return std::nullopt;
}

std::optional<std::string_view> setSquadId(const GameBlocks& blocks, int row, int slot, std::int64_t id) {
    if (auto refusal = squadIdRefusal(row, slot, id)) return refusal;
    storeSquadId(blocks, row, slot, static_cast<std::uint16_t>(id));
    return std::nullopt;
}

void storeSquadId(const GameBlocks& blocks, int row, int slot, std::uint16_t id) {
    if (!validSlot(row, slot)) return;
    const std::size_t offset = 2 * static_cast<std::size_t>(slot);
    writeU16LE(squadEntry(blocks, row), offset, id);
    writeU16LE(squadCopyEntry(blocks, row), offset, id);  // national teams only
}

std::uint8_t readShirtByte(const GameBlocks& blocks, int row, int slot) {
    return validSlot(row, slot) ? byteAt(shirtEntry(blocks, row), slot) : 0;
}

int readShirt(const GameBlocks& blocks, int row, int slot) { return readShirtByte(blocks, row, slot) + 1; }

void storeShirt(const GameBlocks& blocks, int row, int slot, int shown) {
    storeShirtByte(blocks, row, slot, static_cast<std::uint8_t>(shown - 1));
}

void storeShirtByte(const GameBlocks& blocks, int row, int slot, std::uint8_t stored) {
    if (validSlot(row, slot)) storeByte(shirtEntry(blocks, row), slot, stored);
}

void storeTacticsByte(const GameBlocks& blocks, int row, int k, std::uint8_t stored) {
    storeByte(tacticsEntry(blocks, row), k, stored);
}

}  // namespace tarvo
