#pragma once
// The values that differ between two sets of the three blocks (the data as last loaded or written,
// and the data now; or two discs), named and shown as `tarvo player`/`team` and `set-player`/
// `set-team` name and show them, and the revert of any of them. Only the primary copies are
// compared; bytes that differ and that no listed value covers (second copies included) are listed
// as one row per block, so the list is never silently incomplete.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/formation.h"
#include "store/game_blocks.h"

namespace tarvo {

enum class ChangeKind : std::uint8_t { Player, Team, Other };

// Where a value lies: a player's name, call number or record field, a team row's value of the team
// field table (a squad slot's, for per-slot values), or one byte of a team's formation record.
struct ValueRef {
    enum class What : std::uint8_t { FullName, BackName, CallNumber, PlayerField, TeamField, Formation };
    What what;
    int number;     // player ID or team row
    int index = 0;  // the PlayerFieldId or TeamFieldId; the byte of the formation record (0 to 29)
    int slot = 0;   // the squad slot of a per-slot team value
};

struct Change {
    ChangeKind kind;
    int number;         // player ID, team row, or the block of an Other row (0 boot file, 1 parameter, 2 select)
    std::string field;  // "speed", "full name", "slot 4 id" (slots from 1), "formation x 2"; the block's name for Other
    std::string oldValue, newValue;  // as shown: numbers in the commands' units, names as UTF-8 text
    bool text = false;               // the values are names
    std::size_t bytes = 0;           // Other: how many bytes differ
    ValueRef value{};                // Player and Team: the value
};

// Every value of `current` that differs from `base`, players by ID, then teams by row, then one
// Other row per block with bytes that differ beyond the listed values.
std::vector<Change> listChanges(const ConstGameBlocks& base, const ConstGameBlocks& current);

// Writes base's value of each change back into `current`, in both copies, through the records'
// own stores; an Other row copies its block's unlisted differing bytes back. Nothing else changes.
void revertChanges(const ConstGameBlocks& base, const GameBlocks& current, std::span<const Change> changes);

// "player 123 speed: 72 -> 80", "team 44.Brazil slot 4 id: 512 -> 1040",
// "player 7 full name: \"OLD\" -> \"NEW\"", "12 other bytes of the parameter data differ".
std::string describeChange(const Change& change);
// The first change and how many more: "player 12 speed: 52 -> 99 and 3 more"; empty for none.
std::string describeFirstChange(std::span<const Change> changes);
std::string_view changeKindName(ChangeKind kind);  // "player", "team", "other"

// A value that another program changed on disk (`base` to `theirs`) and that the unwritten changes
// (`base` to `mine`) changed to something else: `mine` is the unwritten change, `theirValue` what
// the disk holds. Rows of unlisted bytes changed on both sides are conflicts too.
struct Conflict {
    Change mine;
    std::string theirValue;
};
std::vector<Conflict> listConflicts(const ConstGameBlocks& base, const ConstGameBlocks& theirs,
                                    const ConstGameBlocks& mine);
// "player 12 speed: 70 on disk, 80 kept".
std::string describeConflict(const Conflict& conflict);

// A player's or a team row's value of that name (as the list names it), or nullopt when there is no
// such player, row, field or slot.
std::optional<ValueRef> valueNamed(ChangeKind kind, int number, std::string_view field);
// Whether the value is a name (shown as UTF-8 text) rather than a number.
bool isTextValue(const ValueRef& value);
// The value as the list shows it.
std::string valueText(const GameBlocks& blocks, const ValueRef& value);

// A formation byte's check (formationValueRefusal) is in records/formation.h.
void storeFormationByte(const GameBlocks& blocks, int row, int byte, std::uint8_t value);

// The list as the changes window shows it: player values of the same field changed on more than
// one player make one group "speed: 2197 players"; every other change is a group of its own.
struct ChangeGroup {
    std::string title;
    std::vector<std::size_t> members;  // indices into the list
};
std::vector<ChangeGroup> groupChanges(const std::vector<Change>& changes);

}  // namespace tarvo
