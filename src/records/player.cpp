#include "records/player.h"

#include <algorithm>
#include <string>

#include "records/name_slot.h"
#include "store/block_map.h"

namespace tarvo {

namespace {

using namespace blockmap;

enum class Block { Parameter, Select, Boot };

// One per-player table: entry size, the primary copy in the parameter data and the second copy.
struct PlayerTable {
    std::size_t offset;
    std::size_t entrySize;
    Block copyBlock;
    std::size_t copyOffset;
};

constexpr PlayerTable kFullNameTable{kFullNameOffset, kFullNameSize, Block::Select, kFullNameCopyOffset};
constexpr PlayerTable kBackNameTable{kBackNameOffset, kBackNameSize, Block::Select, kBackNameCopyOffset};
constexpr PlayerTable kCallNumberTable{kCallNumberOffset, kCallNumberSize, Block::Select, kCallNumberCopyOffset};
constexpr PlayerTable kRecordTable{kRecordOffset, kRecordSize, Block::Boot, kRecordCopyOffset};

const PlayerTable& nameTable(PlayerName which) { return which == PlayerName::Full ? kFullNameTable : kBackNameTable; }

MutableByteSpan blockOf(const GameBlocks& blocks, Block block) {
    switch (block) {
    case Block::Parameter: return blocks.parameter;
    case Block::Select: return blocks.select;
    case Block::Boot: return blocks.boot;
    }
    return {};
}

// Entry id - 1 of a table copy; empty for an ID that names no player or an entry beyond the block.
MutableByteSpan entryAt(MutableByteSpan block, std::size_t tableOffset, std::size_t entrySize, std::uint32_t id) {
    if (!isPlayerId(id)) return {};
    const std::size_t offset = tableOffset + (id - 1) * entrySize;
    if (!fitsIn(block.size(), offset, entrySize)) return {};
    return block.subspan(offset, entrySize);
}

MutableByteSpan primaryEntry(const GameBlocks& blocks, const PlayerTable& table, std::uint32_t id) {
    return entryAt(blocks.parameter, table.offset, table.entrySize, id);
}

MutableByteSpan copyEntry(const GameBlocks& blocks, const PlayerTable& table, std::uint32_t id) {
    return entryAt(blockOf(blocks, table.copyBlock), table.copyOffset, table.entrySize, id);
}

// Stores a whole entry into both copies; nothing when either copy is missing or the size differs.
void writeBothCopies(const GameBlocks& blocks, const PlayerTable& table, std::uint32_t id, ByteSpan entry) {
    const auto primary = primaryEntry(blocks, table, id);
    const auto copy = copyEntry(blocks, table, id);
    if (primary.empty() || copy.empty() || entry.size() != table.entrySize) return;
    std::copy(entry.begin(), entry.end(), primary.begin());
    std::copy(entry.begin(), entry.end(), copy.begin());
}

// "ID should be 1--2197": the refusal's words, kept as the team editor has always shown them.
std::string idRangeRefusal(std::uint32_t first) {
    std::string text = "ID should be ";
    text += std::to_string(first);
    text += "--";
    text += std::to_string(kLastPlayerId);
    return text;
}

}  // namespace

std::string_view playerIdRefusal(bool emptySlotAllowed) {
    static const std::string kFromFirst = idRangeRefusal(kFirstPlayerId);
    static const std::string kFromEmpty = idRangeRefusal(0);
    return emptySlotAllowed ? kFromEmpty : kFromFirst;
}

Bytes readPlayerName(const GameBlocks& blocks, PlayerName which, std::uint32_t id) {
    return readNameSlot(playerNameSlot(blocks, which, id));
}

bool writePlayerName(const GameBlocks& blocks, PlayerName which, std::uint32_t id, ByteSpan text) {
    const auto& table = nameTable(which);
    Bytes slot(table.entrySize, 0);
    if (primaryEntry(blocks, table, id).empty() || copyEntry(blocks, table, id).empty()) return false;
    if (!storeNameSlot(slot, text)) return false;
    writeBothCopies(blocks, table, id, slot);
    return true;
}

ByteSpan playerNameSlot(const GameBlocks& blocks, PlayerName which, std::uint32_t id) {
    return primaryEntry(blocks, nameTable(which), id);
}

void writePlayerNameSlot(const GameBlocks& blocks, PlayerName which, std::uint32_t id, ByteSpan slot) {
    writeBothCopies(blocks, nameTable(which), id, slot);
}

std::uint16_t readCallNumber(const GameBlocks& blocks, std::uint32_t id) {
    return readU16LE(primaryEntry(blocks, kCallNumberTable, id), 0).value_or(0);
}

void writeCallNumber(const GameBlocks& blocks, std::uint32_t id, std::uint16_t number) {
    std::uint8_t entry[2];
    writeU16LE(entry, 0, number);
    writeBothCopies(blocks, kCallNumberTable, id, entry);
}

ByteSpan playerRecordBytes(const GameBlocks& blocks, std::uint32_t id) {
    return primaryEntry(blocks, kRecordTable, id);
}

void writePlayerRecordBytes(const GameBlocks& blocks, std::uint32_t id, ByteSpan record) {
    writeBothCopies(blocks, kRecordTable, id, record);
}

void Player::load(const GameBlocks& blocks, std::uint32_t id) {
    m_blocks = blocks;
    const auto primary = primaryEntry(blocks, kRecordTable, id);
    if (primary.empty() || copyEntry(blocks, kRecordTable, id).empty()) {
        // No such player: nothing can be read or written through this object.
        m_id = 0;
        m_bits.clear();
        return;
    }
    m_id = id;
    m_bits = expandRecord(primary);
}

void Player::store() {
    if (!loaded()) return;
    const auto primary = primaryEntry(m_blocks, kRecordTable, m_id);
    const auto copy = copyEntry(m_blocks, kRecordTable, m_id);
    packRecord(m_bits, primary);
    std::copy(primary.begin(), primary.end(), copy.begin());
}

std::uint32_t Player::read(PlayerFieldId field) const {
    const auto& f = fieldOf(field);
    return readField(m_bits, f.position, f.width).value_or(0) + f.offset;
}

void Player::write(PlayerFieldId field, std::uint32_t value) {
    if (!loaded()) return;
    const auto& f = fieldOf(field);
    writeField(m_bits, f.position, f.width, static_cast<std::int32_t>(value - f.offset));
    store();
}

}  // namespace tarvo
