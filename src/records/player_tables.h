#pragma once
// The value lists of the player record's list fields. List order is part of the data format:
// list fields store the index of the chosen entry (except the nation and hair style, which store
// a code that these tables map to and from an entry).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "records/player_fields.h"

namespace tarvo {

// "position1" uses entries 0 to 10; "position2" and "position3" also 11 "None".
extern const std::array<std::string_view, 12> kPositionNames;
extern const std::array<std::string_view, 12> kEyeColourNames;  // "eye iris"
extern const std::array<std::string_view, 3> kSleeveNames;      // "by season", "short", "long"
extern const std::array<std::string_view, 3> kFootNames;        // "right", "left", "both"
extern const std::array<std::string_view, 5> kFreeKickNames;    // "A" to "E"
extern const std::array<std::string_view, 3> kInjuryNames;      // "C", "B", "A"

struct Nation {
    std::uint8_t code;
    std::string_view label;
};
inline constexpr int kNationCount = 81;
extern const std::array<Nation, kNationCount> kNations;  // entries 0-55: code i; 56-79: i + 49; 80: 240
std::optional<int> nationEntryOfCode(std::uint32_t code);

inline constexpr int kHairStyleCount = 103;
extern const std::array<std::uint8_t, kHairStyleCount> kHairStyleCodes;  // entry i (shown i + 1) -> code
std::optional<int> hairStyleEntryOfCode(std::uint32_t code);             // first entry with that code

inline constexpr std::uint32_t kBaldHairColor = 63;     // "hair color" 63: bald, "hair type" not shown
inline constexpr std::uint32_t kNoBeardColor = 63;      // "beardcolor" 63: no beard
inline constexpr std::uint32_t kBeardAsHairColor = 62;  // "beardcolor" 62: the hair's colour
// Highest face number for a skin (125, 106, 32, 26; 26 for any skin above 3).
std::uint32_t faceBoundOfSkin(std::uint32_t skin);

// The call numbers the editor's field offers, and the one that means none.
inline constexpr std::uint32_t kCallNumberMin = 11578, kCallNumberMax = 15833, kNoCallNumber = 11085;
// The range every ability shares.
inline constexpr std::uint32_t kAbilityMin = fieldOf(PlayerFieldId::Speed).min;
inline constexpr std::uint32_t kAbilityMax = fieldOf(PlayerFieldId::Speed).max;

// The values the editor's controls can give a field, in the units of Player::read (height in cm,
// age in years, face number): its row's min and max. "hair color" also allows 63 (bald) beyond its
// list; "face" is bounded by the skin (faceBoundOfSkin); "nation" allows only the codes of the
// nation table.
struct FieldRange {
    std::uint32_t min;
    std::uint32_t max;
};
constexpr FieldRange editorRange(PlayerFieldId field) { return {fieldOf(field).min, fieldOf(field).max}; }
bool editorAllows(PlayerFieldId field, std::uint32_t value, std::uint32_t skin);
// What editorAllows lets through, in words: "1 to 99", "1 to 32 for skin 2", "0 to 61, or 63 for bald".
std::string editorRangeText(PlayerFieldId field, std::uint32_t skin);
// Why the game could not read a stored value of the field (a nation code or hair style code that
// no entry of its table has), or nullopt. Every other value that fits the field's bits is readable.
std::optional<std::string> unreadablePlayerValue(PlayerFieldId field, std::uint32_t value);

// The call numbers the editor offers: 11578 to 15833, or 11085 for none.
bool callNumberAllowed(std::int64_t number);
std::string callNumberRangeText();

}  // namespace tarvo
