#pragma once
// Text that comes from outside (a command line, a patch, a spreadsheet) as the edits take it:
// whole numbers in one plain form, and values echoed in a message cut short and made printable,
// so that a hostile cell can neither flood the terminal nor drive it with control characters.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "records/value_names.h"
#include "store/bytes.h"

namespace tarvo {

// The most characters a number may have: a sign and every digit any value of the game needs.
inline constexpr std::size_t kMaxNumberCharacters = 12;
// The most characters of a value that a message repeats.
inline constexpr std::size_t kShownCharacters = 40;

// True when `text` is a whole number written plainly: an optional sign and decimal digits.
bool isWholeNumber(std::string_view text);
// The characters (UTF-8 code points) of `text`; a byte that starts none counts as one.
std::size_t characterCount(std::string_view text);
// `text` as a message repeats it: at most kShownCharacters characters (then "..."), each control
// character and each byte that is no UTF-8 written as \xNN.
std::string shownValue(std::string_view text);
// The value as messages show it, in double quotes.
std::string quoted(std::string_view text);
// Why `cell` is too long for the value it stands for, or nullopt: a name has at most as many
// characters as its slot has bytes (each character takes one or two; a name read from a disc may
// fill the slot), anything else is a number.
std::optional<std::string> cellLengthRefusal(const std::optional<ValueRef>& value, std::string_view cell);
// What is wrong with NAME=VALUE typed for a player or a team row when NAME is a number and VALUE is
// no whole number ("5e1", "0x32", "abc"): a command line not understood rather than a value
// refused. nullopt otherwise.
std::optional<std::string> malformedNumber(ChangeKind kind, int number, std::string_view name, std::string_view value);

// A whole decimal number (an optional sign, digits, nothing else), or nullopt.
std::optional<std::int64_t> parseInteger(std::string_view text);
// A number within [min, max], or nullopt.
std::optional<std::int64_t> parseInRange(std::string_view text, std::int64_t min, std::int64_t max);

struct Assignment {
    std::string name;
    std::string value;
};
// "NAME=VALUE" split at the first '='; nullopt without one.
std::optional<Assignment> parseAssignment(const std::string& text);

// A name typed as UTF-8, encoded for a slot that holds at most `maxBytes` text bytes; the refusal
// text on failure.
struct EncodedName {
    Bytes bytes;
    std::string refusal;
};
EncodedName encodeName(const std::string& label, const std::string& text, std::size_t maxBytes);

}  // namespace tarvo
