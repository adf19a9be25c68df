#pragma once
// A team's fields, each an entry of a per-team array in the boot-file or parameter data, addressed
// by the team row 0 to 105: rows 0 to 64 national teams (23 squad slots), 65 to 104 clubs
// (40 slots), 105 the default team row (40 slots, no tactics, names not edited).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "records/formation.h"
#include "records/team_fields.h"
#include "store/block_map.h"
#include "store/game_blocks.h"

namespace tarvo {

TeamKind teamKind(int row);
int squadSize(int row);  // 23 or 40
// "0 to 105", and the refusal of a number that is no team row: "row should be 0 to 105", the row
// named as the caller's user knows it ("ROW" for a command's argument).
std::string teamRowRangeText();
std::string teamRowRefusal(std::string_view rowWord);
// Squad slots as people read and type them, in the windows, the commands and their files: numbered
// from 1, as the squad list numbers them. Slot arguments everywhere else count from 0.
inline constexpr std::string_view kSlotWord = "slot ";
int slotNumber(int slot);
std::string slotName(int slot);  // "slot 3" for slot 2
// The slot that `number` names in the row: plain digits 1 to the squad's size; nullopt otherwise.
std::optional<int> slotOfNumber(std::string_view number, int row);
// "row 43 has slots 1 to 23": why a slot number was refused.
std::string slotRangeText(int row);
inline bool hasTactics(int row) { return rowIsIn(row, TeamRows::WithTactics); }
inline bool isClub(int row) { return rowIsIn(row, TeamRows::WithClubName); }

// Any value of the table, by its field: the bytes of the row's entry (of the slot's, for squad
// values) in the first copy, or in the second; empty when the row or slot has no such value.
MutableByteSpan teamFieldSlot(const GameBlocks& blocks, TeamFieldId field, int row, int slot = 0);
MutableByteSpan teamFieldCopySlot(const GameBlocks& blocks, TeamFieldId field, int row, int slot = 0);
// The bytes of text a name of the row takes (its slot's length - 1); 0 where the row has no such name.
int teamNameMaxBytes(TeamFieldId field, int row);
// A one- or two-byte value as shown (stored byte div scale, less the bias); 0 where the row has none.
int readTeamValue(const GameBlocks& blocks, TeamFieldId field, int row, int slot = 0);
// Why the field of the row may not be changed (row 105's names and tactics, a club name outside the
// clubs), or nullopt when it may.
std::optional<std::string> teamEditRefusal(TeamFieldId field, int row);
// Why a shown value may not be stored in the row's slot (its range, the row's kind, the squad-slot
// rule), or nullopt when it may.
std::optional<std::string> teamValueRefusal(TeamFieldId field, int row, int slot, std::int64_t shown);
// Stores a shown value into both copies, without checking it (the caller did).
void storeTeamValue(const GameBlocks& blocks, TeamFieldId field, int row, int slot, int shown);

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

// Stores a value's bytes as they are (a team file's) into both copies; nothing where the row or
// slot has no such value or the size differs.
void storeTeamFieldBytes(const GameBlocks& blocks, TeamFieldId field, int row, int slot, ByteSpan bytes);
// Stores a name's text into both copies of a name field (team, club or short name); false (nothing
// written) where the row has no such name or the text leaves no room for the NUL.
bool storeTeamNameField(const GameBlocks& blocks, TeamFieldId field, int row, ByteSpan text);

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
