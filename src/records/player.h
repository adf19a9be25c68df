#pragma once
// A player's data: full name, back name, voice call number (per-player tables) and the 44-byte
// player record with its 70 fields. Every per-player table has a primary copy, which is read, and
// a second copy; every write goes to both.

#include <cstdint>
#include <string_view>

#include "records/bit_record.h"
#include "records/name_slot.h"
#include "records/player_fields.h"
#include "store/block_map.h"
#include "store/game_blocks.h"

namespace tarvo {

enum class PlayerName { Full, Back };  // 31-byte and 16-byte name slots

// The most text bytes of the name: 30 of a full name, 15 of a back name.
constexpr std::size_t maxPlayerNameBytes(PlayerName which) {
    return maxNameTextBytes(which == PlayerName::Full ? blockmap::kFullNameSize : blockmap::kBackNameSize);
}

// Player IDs are 1 to 2197, one per entry of the per-player tables; 0 in a squad slot is an empty slot.
inline constexpr std::uint32_t kFirstPlayerId = 1, kLastPlayerId = blockmap::kPlayerCount;
constexpr bool isPlayerId(std::int64_t id) { return id >= kFirstPlayerId && id <= kLastPlayerId; }
// Why a number was refused as an ID: "ID should be 1--2197", or "ID should be 0--2197" where an
// empty slot (0) may stand.
std::string_view playerIdRefusal(bool emptySlotAllowed = false);

// The name's text bytes (primary copy). `id` is 1 to 2197.
Bytes readPlayerName(const GameBlocks& blocks, PlayerName which, std::uint32_t id);
// Stores the text into both copies; false (nothing written) when it is longer than slot - 1 bytes.
bool writePlayerName(const GameBlocks& blocks, PlayerName which, std::uint32_t id, ByteSpan text);
// The whole slot as stored (primary copy), for the team and player files.
ByteSpan playerNameSlot(const GameBlocks& blocks, PlayerName which, std::uint32_t id);
// Stores a whole slot (exactly the slot's size) into both copies, byte for byte.
void writePlayerNameSlot(const GameBlocks& blocks, PlayerName which, std::uint32_t id, ByteSpan slot);

std::uint16_t readCallNumber(const GameBlocks& blocks, std::uint32_t id);
void writeCallNumber(const GameBlocks& blocks, std::uint32_t id, std::uint16_t number);

// The 44 record bytes (primary copy), and a store of 44 bytes into both copies.
ByteSpan playerRecordBytes(const GameBlocks& blocks, std::uint32_t id);
void writePlayerRecordBytes(const GameBlocks& blocks, std::uint32_t id, ByteSpan record);

// The current player: one record expanded for reading and editing. Every field write packs the
// record into the primary copy and copies it over the second copy at once.
class Player {
public:
    // Makes `id` (1 to 2197) the current player; writes nothing.
    void load(const GameBlocks& blocks, std::uint32_t id);
    // Packs the record into the primary copy and copies it over the second copy.
    void store();

    std::uint32_t id() const { return m_id; }
    bool loaded() const { return m_id != 0; }
    const BitRecord& bits() const { return m_bits; }

    // The field's value with its offset added (height in cm, age in years, face number).
    std::uint32_t read(PlayerFieldId field) const;
    // Subtracts the offset (32-bit, wrapping), keeps the field's low bits, then store().
    void write(PlayerFieldId field, std::uint32_t value);

    // The k-th ability (0 to 24) of the ability order; 0, and no write, for any other index.
    std::uint32_t ability(int index) const {
        return isAbilityIndex(index) ? read(kAbilityFields[static_cast<std::size_t>(index)]) : 0;
    }
    void setAbility(int index, std::uint32_t value) {
        if (isAbilityIndex(index)) write(kAbilityFields[static_cast<std::size_t>(index)], value);
    }
    static constexpr bool isAbilityIndex(int index) { return index >= 0 && index < kAbilityCount; }

private:
    GameBlocks m_blocks{};
    std::uint32_t m_id = 0;
    BitRecord m_bits;
};

}  // namespace tarvo
