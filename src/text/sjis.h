#pragma once
// Conversion between the name slots' Shift-JIS bytes and Unicode text (UTF-8 in std::string).
// Name bytes are never changed unless the user edited the name: decode to show, encode what the
// user typed.

#include <optional>
#include <string>
#include <string_view>

#include "store/bytes.h"

namespace tarvo {

// Every byte string decodes; bytes that are not valid Shift-JIS become U+FFFD.
std::string decodeShiftJis(ByteSpan bytes);

struct EncodeResult {
    Bytes bytes;                      // valid when `refused` is empty
    std::optional<char32_t> refused;  // the first character that cannot be encoded
};
// A character with a JISCODE entry takes that code; ASCII and half-width katakana one byte;
// any other character that code page 932 encodes takes that code; anything else is refused.
EncodeResult encodeShiftJis(std::string_view utf8);
// "the character X (U+XXXX) has no Shift-JIS code" for a refused character.
std::string refusalMessage(char32_t c);

}  // namespace tarvo
