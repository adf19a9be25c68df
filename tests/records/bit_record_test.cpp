// The bit-string codec: byte order and bit order of the expansion, fields that cross bytes, and
// the exact bits a write touches.

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "records/bit_record.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using test::hexOf;

constexpr std::size_t kR = 44;
using Record = std::array<std::uint8_t, kR>;

// Character k of the string is bit (7 - k % 8) of byte (R - 1 - k / 8): the record read as one
// little-endian number, written most significant bit first.
bool bitOfChar(const Record& r, std::size_t k) { return (r[kR - 1 - k / 8] >> (7 - k % 8)) & 1; }

Record randomRecord(std::uint32_t seed) {
    std::mt19937 rng(seed);
    Record r{};
    for (auto& b : r) b = static_cast<std::uint8_t>(rng());
    return r;
}

TEST(BitRecordLayout, ExpansionOrderAndRoundTrip) {
    Record zeros{};
    EXPECT_EQ(expandRecord(zeros), std::string(352, '0'));

    Record ends{};
    ends[0] = 0x01;
    ends[43] = 0x80;
    EXPECT_EQ(expandRecord(ends), "1" + std::string(350, '0') + "1");

    for (std::uint32_t seed : {1u, 2u, 3u, 77u}) {
        const Record r = randomRecord(seed);
        SCOPED_TRACE(hexOf(r));
        const BitRecord bits = expandRecord(r);
        ASSERT_EQ(bits.size(), 352u);
        for (std::size_t k = 0; k < bits.size(); ++k) ASSERT_EQ(bits[k] == '1', bitOfChar(r, k)) << "char " << k;
        // Reading field (8j, 8) gives the bytes from the last to the first.
        for (std::size_t j = 0; j < kR; ++j) EXPECT_EQ(readField(bits, 8 * j, 8), r[kR - 1 - j]) << "j " << j;
        Record packed{};
        packRecord(bits, packed);
        EXPECT_EQ(packed, r) << hexOf(packed);
    }
}

// Worked placements: writing all ones into a zero record sets exactly these bits.
struct Placement {
    std::size_t position, width;
    std::vector<std::pair<std::size_t, std::uint8_t>> bytes;  // byte index, bits set
};

TEST(BitRecordLayout, FieldsLandOnTheirBits) {
    const std::vector<Placement> cases{
        {220, 4, {{16, 0x0F}}},                 // low nibble of byte 16
        {345, 5, {{0, 0x7C}}},                  // bits 2-6 of byte 0
        {54, 7, {{36, 0xF8}, {37, 0x03}}},      // bit 3 of byte 36 to bit 1 of byte 37
        {47, 7, {{37, 0xFC}, {38, 0x01}}},      // "shoot tech": byte 37 bit 2 to byte 38 bit 0
        {88, 8, {{32, 0xFF}}},                  // "nation": a whole byte
        {326, 6, {{2, 0xF0}, {3, 0x03}}},       // "beardcolor": byte 2 bit 4 to byte 3 bit 1
        {339, 6, {{0, 0x80}, {1, 0x1F}}},       // "hair color": byte 0 bit 7 to byte 1 bit 4
        {0, 1, {{43, 0x80}}},
        {351, 1, {{0, 0x01}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("field (" + std::to_string(c.position) + ", " + std::to_string(c.width) + ")");
        Record r{};
        BitRecord bits = expandRecord(r);
        writeField(bits, c.position, c.width, -1);
        packRecord(bits, r);
        Record expected{};
        for (auto [index, mask] : c.bytes) expected[index] = mask;
        EXPECT_EQ(r, expected) << hexOf(r);
        EXPECT_EQ(readField(bits, c.position, c.width), (1u << c.width) - 1);
    }
}

TEST(BitRecordLayout, WriteChangesOnlyItsField) {
    // Every position and width 1 to 8 on a random record: the field reads back the low bits of
    // the value and no other character moves.
    const Record r = randomRecord(9);
    const BitRecord original = expandRecord(r);
    for (std::size_t w = 1; w <= 8; ++w)
        for (std::size_t p = 0; p + w <= 352; ++p) {
            BitRecord bits = original;
            const std::int32_t value = static_cast<std::int32_t>(0x5A5 ^ (p * 7));
            writeField(bits, p, w, value);
            ASSERT_EQ(readField(bits, p, w), static_cast<std::uint32_t>(value) & ((1u << w) - 1)) << p << "," << w;
            for (std::size_t k = 0; k < 352; ++k) {
                if (k < p || k >= p + w) {
                    ASSERT_EQ(bits[k], original[k]) << "char " << k << " of (" << p << "," << w << ")";
                }
            }
        }
}

TEST(BitRecordLayout, ByteSixteenExample) {
    Record r{};
    r[16] = 0x0B;
    r[15] = 0xA0;
    r[17] = 0x5C;
    BitRecord bits = expandRecord(r);
    EXPECT_EQ(readField(bits, 220, 4), 11u);
    writeField(bits, 220, 4, 2);
    Record packed = r;
    packRecord(bits, packed);
    Record expected = r;
    expected[16] = 0x02;
    EXPECT_EQ(packed, expected) << hexOf(packed);
}

struct Truncation {
    std::size_t width;
    std::int32_t value;
    std::uint32_t stored;
};

TEST(BitRecordValues, HighBitsAreDropped) {
    const std::vector<Truncation> cases{
        {2, 5, 1}, {7, -1, 127}, {8, -1, 255}, {2, -1, 3}, {6, 102, 38}, {1, 2, 0}, {8, 256 + 7, 7},
    };
    for (const auto& c : cases) {
        BitRecord bits(352, '0');
        writeField(bits, 100, c.width, c.value);
        EXPECT_EQ(readField(bits, 100, c.width), c.stored) << c.value << " in " << c.width << " bits";
        EXPECT_EQ(bits.size(), 352u);
    }
}

TEST(BitRecordValues, ReadsAndWritesStayInsideTheString) {
    const BitRecord bits = "0110" "1";
    EXPECT_EQ(readField(bits, 6, 1), std::nullopt);   // beyond the end
    EXPECT_EQ(readField(bits, 5, 3), 0u);             // at the end: no characters
    EXPECT_EQ(readField(bits, 3, 8), 1u);             // cut at the end: "01"
    EXPECT_EQ(readField("01x1", 0, 4), std::nullopt); // not a bit
    EXPECT_EQ(readField("01x1", 0, 2), 1u);           // the stray character lies outside

    BitRecord small = "0000";
    writeField(small, 2, 3, 7);  // would pass the end: nothing written
    writeField(small, 5, 1, 1);
    EXPECT_EQ(small, "0000");

    // A string of the wrong length or with a stray character is never packed.
    Record r = randomRecord(4);
    const Record before = r;
    packRecord(BitRecord(351, '1'), r);
    BitRecord stray(352, '1');
    stray[200] = '2';
    packRecord(stray, r);
    EXPECT_EQ(r, before);
}

}  // namespace
}  // namespace tarvo
