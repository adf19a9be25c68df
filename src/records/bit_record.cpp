#include "records/bit_record.h"

#include <algorithm>

namespace tarvo {

BitRecord expandRecord(ByteSpan record) {
    BitRecord bits;
    bits.resize(record.size() * 8);
    std::size_t k = 0;
    // The last byte comes first, each byte most significant bit first.
    for (std::size_t j = record.size(); j-- > 0;) {
        const std::uint8_t b = record[j];
        for (int i = 7; i >= 0; --i) bits[k++] = ((b >> i) & 1) ? '1' : '0';
    }
    return bits;
}

void packRecord(const BitRecord& bits, MutableByteSpan record) {
    // A string of another length or with a stray character is never packed: the record keeps
    // its bytes rather than receive bits that do not belong to it.
    if (bits.size() != record.size() * 8) return;
    Bytes packed(record.size());
    const std::size_t last = record.size() - 1;
    for (std::size_t j = 0; j < record.size(); ++j) {
        unsigned b = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            const char c = bits[8 * j + i];
            if (c != '0' && c != '1') return;
            b = (b << 1) | static_cast<unsigned>(c == '1');
        }
        packed[last - j] = static_cast<std::uint8_t>(b);
    }
    std::copy(packed.begin(), packed.end(), record.begin());
}

std::optional<std::uint32_t> readField(const BitRecord& bits, std::size_t position, std::size_t width) {
    if (position > bits.size()) return std::nullopt;
    const std::size_t n = std::min(width, bits.size() - position);
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const char c = bits[position + i];
        if (c != '0' && c != '1') return std::nullopt;
        value = (value << 1) | static_cast<std::uint32_t>(c == '1');
    }
    return value;
}

void writeField(BitRecord& bits, std::size_t position, std::size_t width, std::int32_t value) {
    if (position > bits.size() || width > bits.size() - position) return;
    const auto v = static_cast<std::uint32_t>(value);
    // Character position + width - 1 is the field's least significant bit.
    for (std::size_t i = 0; i < width; ++i) bits[position + width - 1 - i] = (i < 32 && ((v >> i) & 1)) ? '1' : '0';
}

}  // namespace tarvo
