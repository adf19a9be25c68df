#pragma once
// A team's fields, each an entry of a per-team array in the boot-file or parameter data, addressed
// by the team row 0 to 105: rows 0 to 64 national teams (23 squad slots), 65 to 104 clubs
// (40 slots), 105 the default team row (40 slots, no tactics, names not edited).

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "records/formation.h"
#include "store/block_map.h"
#include "store/game_blocks.h"

namespace tarvo {

enum class TeamKind { National, Club, Default };

TeamKind teamKind(int row);
int squadSize(int row);  // 23 or 40
inline bool hasTactics(int row) { return row >= 0 && row < blockmap::kDefaultTeamRow; }
inline bool isClub(int row) { return row >= blockmap::kNationalRows && row < blockmap::kDefaultTeamRow; }

inline constexpr int kTacticsCount = 5;
inline constexpr std::array<std::string_view, kTacticsCount> kTacticsNames{"offense", "defense", "teamwork", "speed",
                                                                           "technique"};
inline constexpr int kTacticsShownMin = 4, kTacticsShownMax = 19;
inline constexpr int kSetPieceCount = 6;
inline constexpr std::array<std::string_view, kSetPieceCount> kSetPieceNames{
    "short kick", "long kick", "right corner", "left corner", "penalty kick", "captain"};
inline constexpr int kSetPieceChoices = 11;  // "Player_01" to "Player_11", stored 0 to 10

// Names: the text bytes of the slot (up to the first NUL). Stores return false (nothing written)
// when the text leaves no room for the NUL. The club name exists for clubs only (both copies);
// other rows show the 2-byte slot at parameter offset 48, which is never written.
MutableByteSpan teamNameSlot(const GameBlocks& blocks, int row);
Bytes readTeamName(const GameBlocks& blocks, int row);
bool storeTeamName(const GameBlocks& blocks, int row, ByteSpan text);
Bytes readClubName(const GameBlocks& blocks, int row);
bool storeClubName(const GameBlocks& blocks, int row, ByteSpan text);
MutableByteSpan shortNameSlot(const GameBlocks& blocks, int row);
Bytes readShortName(const GameBlocks& blocks, int row);
bool storeShortName(const GameBlocks& blocks, int row, ByteSpan text);

// Tactics k (0 to 4) of rows 0 to 104: shown = stored byte div 5; a shown value v is stored 5 * v.
std::uint8_t readTacticsByte(const GameBlocks& blocks, int row, int k);
int readTactics(const GameBlocks& blocks, int row, int k);
void storeTactics(const GameBlocks& blocks, int row, int k, int shown);

// Set-piece taker or captain k (0 to 5): an index 0 to 10.
int readSetPiece(const GameBlocks& blocks, int row, int k);
void storeSetPiece(const GameBlocks& blocks, int row, int k, int index);

FormationRecord readFormation(const GameBlocks& blocks, int row);
void storeFormation(const GameBlocks& blocks, int row, const FormationRecord& formation);

// Squad slots: player IDs (0 = empty) and shirt numbers (shown = stored + 1).
std::uint16_t readSquadId(const GameBlocks& blocks, int row, int slot);
// The squad-slot rule: returns the refusal ("ID should be 1--2197" or "ID should be 0--2197") and
// writes nothing, or writes the ID (national squads into both copies) and returns nullopt.
std::optional<std::string_view> setSquadId(const GameBlocks& blocks, int row, int slot, std::int64_t id);
// The refusal setSquadId would give, without writing anything.
std::optional<std::string_view> squadIdRefusal(int row, int slot, std::int64_t id);
int readShirt(const GameBlocks& blocks, int row, int slot);
std::uint8_t readShirtByte(const GameBlocks& blocks, int row, int slot);
void storeShirt(const GameBlocks& blocks, int row, int slot, int shown);

// Stores without any rule, as the team file carries them: a squad ID (national squads into both
// copies), a stored shirt byte, a stored tactics byte (rows 0 to 104).
void storeSquadId(const GameBlocks& blocks, int row, int slot, std::uint16_t id);
void storeShirtByte(const GameBlocks& blocks, int row, int slot, std::uint8_t stored);
void storeTacticsByte(const GameBlocks& blocks, int row, int k, std::uint8_t stored);

}  // namespace tarvo
