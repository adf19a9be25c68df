#pragma once
// The JISCODE table: 7255 two-byte Shift-JIS codes (lead byte first). Entries 0 to 6877 are the
// JIS X 0208 characters other than the ideographic space in ascending code order, 6878 to 7253
// the codes with lead byte 0xED or 0xEE, 7254 the ideographic space 0x8140. A code's position in
// the table is its glyph index in the glyph sheet.

#include <array>
#include <cstdint>
#include <optional>

#include "store/bytes.h"

namespace tarvo {

inline constexpr int kJisCodeCount = 7255;
inline constexpr int kIdeographicSpaceIndex = 7254;

ByteSpan JISCODE();  // the 14510-byte table
// The two bytes of entry n; 0x81 0x40 for n of 7255 or more (or negative).
std::array<std::uint8_t, 2> codeAtIndex(int n);
// The entry of the code, from an index built once (no scan of the table).
std::optional<int> indexOfCode(std::uint8_t lead, std::uint8_t trail);

}  // namespace tarvo
