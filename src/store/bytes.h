#pragma once
// Byte spans and bounds-checked integer access in a stated byte order.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tarvo {

using Bytes = std::vector<std::uint8_t>;
using ByteSpan = std::span<const std::uint8_t>;
using MutableByteSpan = std::span<std::uint8_t>;

// True when [offset, offset + count) lies inside a buffer of `size` bytes (no overflow).
constexpr bool fitsIn(std::uint64_t size, std::uint64_t offset, std::uint64_t count) {
    return offset <= size && count <= size - offset;
}

inline std::optional<std::uint16_t> readU16LE(ByteSpan data, std::size_t offset) {
    if (!fitsIn(data.size(), offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>(data[offset] | (data[offset + 1] << 8));
}

inline std::optional<std::uint16_t> readU16BE(ByteSpan data, std::size_t offset) {
    if (!fitsIn(data.size(), offset, 2)) return std::nullopt;
    return static_cast<std::uint16_t>((data[offset] << 8) | data[offset + 1]);
}

inline std::optional<std::uint32_t> readU32LE(ByteSpan data, std::size_t offset) {
    if (!fitsIn(data.size(), offset, 4)) return std::nullopt;
    return static_cast<std::uint32_t>(data[offset]) | (static_cast<std::uint32_t>(data[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(data[offset + 2]) << 16) | (static_cast<std::uint32_t>(data[offset + 3]) << 24);
}

inline std::optional<std::uint32_t> readU32BE(ByteSpan data, std::size_t offset) {
    if (!fitsIn(data.size(), offset, 4)) return std::nullopt;
    return (static_cast<std::uint32_t>(data[offset]) << 24) | (static_cast<std::uint32_t>(data[offset + 1]) << 16) |
           (static_cast<std::uint32_t>(data[offset + 2]) << 8) | static_cast<std::uint32_t>(data[offset + 3]);
}

inline bool writeU16LE(MutableByteSpan data, std::size_t offset, std::uint16_t value) {
    if (!fitsIn(data.size(), offset, 2)) return false;
    data[offset] = static_cast<std::uint8_t>(value);
    data[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    return true;
}

inline bool writeU16BE(MutableByteSpan data, std::size_t offset, std::uint16_t value) {
    if (!fitsIn(data.size(), offset, 2)) return false;
    data[offset] = static_cast<std::uint8_t>(value >> 8);
    data[offset + 1] = static_cast<std::uint8_t>(value);
    return true;
}

inline bool writeU32LE(MutableByteSpan data, std::size_t offset, std::uint32_t value) {
    if (!fitsIn(data.size(), offset, 4)) return false;
    for (int i = 0; i < 4; ++i) data[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return true;
}

inline bool writeU32BE(MutableByteSpan data, std::size_t offset, std::uint32_t value) {
    if (!fitsIn(data.size(), offset, 4)) return false;
    for (int i = 0; i < 4; ++i) data[offset + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    return true;
}

// Copies `from` to the start of `to`, never past its end. Whole blocks are copied through here:
// memcpy, where std::copy would be a memmove, which an AddressSanitizer build runs a byte at a time.
inline void copyBytes(ByteSpan from, MutableByteSpan to) {
    if (const std::size_t n = std::min(from.size(), to.size()); n > 0) std::memcpy(to.data(), from.data(), n);
}

// `to` (a vector of bytes) made a copy of `from`, reusing its memory when it is large enough.
template <typename Buffer>
void assignBytes(Buffer& to, ByteSpan from) {
    to.resize(from.size());
    copyBytes(from, to);
}

// Appenders for files built in memory, little-endian.
inline void appendU16LE(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void appendU32LE(Bytes& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Appends exactly `size` bytes: the data, or zeros where there is none (an empty squad slot).
inline void appendFixed(Bytes& out, ByteSpan data, std::size_t size) {
    if (data.size() == size) out.insert(out.end(), data.begin(), data.end());
    else out.insert(out.end(), size, 0);
}

// True when the data begin with the ASCII text (a file's magic).
inline bool startsWith(ByteSpan data, std::string_view magic) {
    if (data.size() < magic.size()) return false;
    for (std::size_t i = 0; i < magic.size(); ++i)
        if (data[i] != static_cast<std::uint8_t>(magic[i])) return false;
    return true;
}

}  // namespace tarvo
