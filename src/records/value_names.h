#pragma once
// The names of the values a player and a team row hold, as every front end shows and takes them:
// "speed", "full name", "slot 4 id" (squad slots from 1), "formation x 2" (positions from 0). One
// registry over the field tables, so that a list of changes, a spreadsheet, a patch, a command and
// a window name a value alike; and the refusals of a player ID or team row out of range.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// Whose value: a player's, a team row's, or (in a list of changes) bytes no value covers.
enum class ChangeKind : std::uint8_t { Player, Team, Other };

// Where a value lies: a player's name, call number or record field, a team row's value of the team
// field table (a squad slot's, for per-slot values), or one byte of a team's formation record.
struct ValueRef {
    enum class What : std::uint8_t { FullName, BackName, CallNumber, PlayerField, TeamField, Formation };
    What what;
    int subject;    // player ID or team row
    int index = 0;  // the PlayerFieldId or TeamFieldId; the byte of the formation record (0 to 29)
    int slot = 0;   // the squad slot of a per-slot team value
};

inline constexpr std::string_view kFullNameValue = "full name", kBackNameValue = "back name",
                                  kCallNumberValue = "call number";

// A player's or a team row's value of that name, or nullopt when there is no such player, row,
// field or slot.
std::optional<ValueRef> valueNamed(ChangeKind kind, int subject, std::string_view field);
// The value's name, as valueNamed takes it.
std::string valueName(const ValueRef& value);
// Whether the value is a name (shown as text) rather than a number.
bool isTextValue(const ValueRef& value);
// A whole number 0 to max - 1 written as plain digits, without leading zeros.
std::optional<int> parseIndex(std::string_view text, int max);

}  // namespace tarvo
