#pragma once
// The player record's fields lie at arbitrary bit positions. A record is expanded into a string
// of '0' and '1' characters (the record's bytes from the last to the first, each byte most
// significant bit first), fields are read and written by position and width in that string, and
// the string is packed back into the bytes after every write.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "store/bytes.h"

namespace tarvo {

using BitRecord = std::string;

BitRecord expandRecord(ByteSpan record);
// Writes the string back into record.size() bytes; the string must hold 8 * record.size() bits.
void packRecord(const BitRecord& bits, MutableByteSpan record);
// The unsigned value of field (position, width); nullopt when the position lies beyond the string
// or a character of the field is not '0' or '1'.
std::optional<std::uint32_t> readField(const BitRecord& bits, std::size_t position, std::size_t width);
// Stores the low `width` bits of value (a 32-bit integer; -1 stores all ones) into the field.
// Does nothing when the field does not lie inside the string.
void writeField(BitRecord& bits, std::size_t position, std::size_t width, std::int32_t value);

}  // namespace tarvo
