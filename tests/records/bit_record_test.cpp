// The bit-string codec: the exact bits a write touches at every position and width, and reads,
// writes and packs that stay inside their string. (Where each field's bits lie in the record:
// the player record's tests, field by field.)

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "records/bit_record.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using Record = std::array<std::uint8_t, 44>;

Record randomRecord(std::uint32_t seed) {
    std::mt19937 rng(seed);
    Record r{};
    for (auto& b : r) b = static_cast<std::uint8_t>(rng());
    return r;
}

// Every position and width from 1 to 8 on a random record: the field reads back the value's low
// bits and no other character moves; packing the expansion gives the record back.
TEST(BitRecord, WriteChangesOnlyItsFieldAndDropsHighBits) {
    const Record r = randomRecord(9);
    const BitRecord original = expandRecord(r);
    Record packed{};
    packRecord(original, packed);
    EXPECT_EQ(packed, r) << test::hex(packed);
    for (std::size_t w = 1; w <= 8; ++w)
        for (std::size_t p = 0; p + w <= 352; ++p) {
            BitRecord bits = original;
            const std::int32_t value = (p % 3 == 0 ? -1 : 1) * static_cast<std::int32_t>(0x5A5 ^ (p * 7));
            writeField(bits, p, w, value);
            ASSERT_EQ(readField(bits, p, w), static_cast<std::uint32_t>(value) & ((1u << w) - 1)) << p << "," << w;
            BitRecord unchanged = bits;
            unchanged.replace(p, w, original, p, w);
            ASSERT_EQ(unchanged, original) << "outside field " << p << "," << w;
        }
}

TEST(BitRecord, ReadsWritesAndPacksStayInsideTheString) {
    const BitRecord bits = "01101";
    EXPECT_EQ(readField(bits, 6, 1), std::nullopt);
    EXPECT_EQ(readField(bits, 3, 8), 1u);              // cut at the end: "01"
    EXPECT_EQ(readField("01x1", 0, 4), std::nullopt);  // not a bit
    BitRecord small = "0000";
    writeField(small, 2, 3, 7);
    writeField(small, 5, 1, 1);
    EXPECT_EQ(small, "0000");

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
