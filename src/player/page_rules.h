#pragma once
// What the player editor's pages show for a stored value and what a user's choice writes. The
// pages call these and hold no data logic of their own. Showing never writes: a stored value
// with no list entry has no entry (-1), and a number outside its field's range is shown as it is.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "records/player.h"
#include "records/player_tables.h"

namespace tarvo {

// The list entries of a list field (Looks lists, the 25 abilities, "injury"); empty for a field
// that has no list ("height", "weight", "age", "face" and the special ability check boxes).
std::vector<std::string> listEntries(PlayerFieldId field);
// The entry that shows the field's stored value, or -1 when the list has none for it. The hair
// type list shows "bald" for a bald player; the beard type list shows "NO" for no beard; the
// hair color and beardcolor lists show nothing then (they are disabled).
int entryOfStored(PlayerFieldId field, const Player& player);
// The value a list entry stands for (nation code, ability value, or the index itself); nullopt
// for an entry outside the list. "hair type" and "beard type" go through chooseHairType and
// chooseBeardType, which link them with their colour.
std::optional<std::uint32_t> valueOfEntry(PlayerFieldId field, int entry);
// The user picked `entry` in a plain list: writes its value; false (nothing written) when the
// entry is outside the list.
bool chooseEntry(Player& player, PlayerFieldId field, int entry);

// The linked hair and beard lists: the type list's entry, the colour list's entry and whether
// the colour list can be used.
struct LinkedLists {
    int typeEntry;
    int colorEntry;
    bool colorEnabled;
    bool operator==(const LinkedLists&) const = default;
};
inline constexpr int kBaldEntry = kHairStyleCount;  // "bald", after the 103 hair styles
inline constexpr int kBeardTypeCount = static_cast<int>(fieldOf(PlayerFieldId::BeardType).max) + 1;
inline constexpr int kNoBeardEntry = kBeardTypeCount;  // "NO", after the 60 beard types
LinkedLists hairLists(const Player& player);
LinkedLists beardLists(const Player& player);
// "bald" makes the player bald and keeps "hair type"; any style of a bald player also gives
// the hair colour "1". Returns what the lists show afterwards; nothing written for an entry
// outside the list.
LinkedLists chooseHairType(Player& player, int entry);
// "NO" removes the beard and keeps "beard type"; any type for a beardless player also gives the
// beard the hair's colour.
LinkedLists chooseBeardType(Player& player, int entry);

// The number fields ("height", "weight", "age", "face"): their range (face's follows the skin).
FieldRange numberRange(PlayerFieldId field, std::uint32_t skin);
// A number the user put in the field: stored when in the field's range or between the stored
// value and that range (a value stored outside it steps towards it), otherwise nothing.
bool enterNumber(Player& player, PlayerFieldId field, std::int64_t value);

// The voice call number: 11085 is "None"; the field offers 11578 to 15833, and a number outside
// that (other than 11085) is shown as it is and kept until the user changes it.
enum class CallNumberKind { None, InRange, OutOfRange };
CallNumberKind callNumberKind(std::uint16_t number);
// A call number the user entered: stored in both copies when within 11578 to 15833.
bool enterCallNumber(const GameBlocks& blocks, std::uint32_t id, std::int64_t value);

}  // namespace tarvo
