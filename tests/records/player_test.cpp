// The player record: every field at its bits with its offset, both copies after each write, the
// bits no field covers, and no player behind an ID outside 1 to 2197. (The name slots: the layout
// and random-edit tests.)

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "records/player.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::TestBlocks;

std::size_t recordAt(std::uint32_t id) { return kRecordOffset + (id - 1) * kRecordSize; }
std::size_t mirrorAt(std::uint32_t id) { return kRecordCopyOffset + (id - 1) * kRecordSize; }
ByteSpan primaryOf(TestBlocks& b, std::uint32_t id) { return ByteSpan(b.parameter).subspan(recordAt(id), kRecordSize); }
ByteSpan mirrorOf(TestBlocks& b, std::uint32_t id) { return ByteSpan(b.boot).subspan(mirrorAt(id), kRecordSize); }

// Every field at its smallest, its largest and an uneven stored value on a patterned record: only the field's
// bits change, in both copies, and nothing else in the blocks; the game's 47 spare bits are the
// ones no field covers.
TEST(PlayerFields, EveryFieldAtItsLimitsTouchesOnlyItsBits) {
    std::vector<int> cover(352, 0);
    for (const auto& f : kPlayerFields)
        for (std::size_t k = f.position; k < std::size_t{f.position} + f.width; ++k) ++cover[k];
    std::set<std::size_t> uncovered, spares;
    for (std::size_t k = 0; k < 352; ++k) {
        EXPECT_LE(cover[k], 1) << "bit " << k << " belongs to two fields";
        if (cover[k] == 0) uncovered.insert(k);
    }
    for (auto [from, to] : std::vector<std::pair<std::size_t, std::size_t>>{
             {0, 1}, {5, 28}, {46, 46}, {64, 65}, {73, 74}, {96, 99}, {252, 253}, {291, 298}, {312, 312}, {332, 332}})
        for (std::size_t k = from; k <= to; ++k) spares.insert(k);
    EXPECT_EQ(spares.size(), 47u);
    EXPECT_EQ(uncovered, spares);

    // The copies differ before the load: the primary is read, and a write levels the mirror.
    TestBlocks original;
    original.fillPattern(3);
    const std::uint32_t id = kPlayerCount;
    const Bytes before(primaryOf(original, id).begin(), primaryOf(original, id).end());
    const Bytes mirror(mirrorOf(original, id).begin(), mirrorOf(original, id).end());
    ASSERT_NE(before, mirror);
    for (std::size_t i = 0; i < kPlayerFields.size(); ++i) {
        const auto& f = kPlayerFields[i];
        // Besides the limits, a value whose top bit is clear and low bit set: a reversed bit order fails.
        const std::uint32_t uneven = ((0x5Au >> (8 - f.width)) & ~(1u << (f.width - 1))) | 1u;
        for (std::uint32_t stored : {0u, (1u << f.width) - 1, uneven}) {
            SCOPED_TRACE(std::string(f.name) + " stored " + std::to_string(stored));
            TestBlocks b = original;
            Player player;
            player.load(b.view(), id);
            player.write(static_cast<PF>(i), stored + f.offset);
            EXPECT_EQ(player.read(static_cast<PF>(i)), stored + f.offset);
            const auto after = primaryOf(b, id);
            for (std::size_t k = 0; k < 352; ++k) {
                const std::size_t byte = 43 - k / 8;
                const int bit = static_cast<int>(7 - k % 8);
                const bool inField = k >= f.position && k < std::size_t{f.position} + f.width;
                const bool expected =
                    inField ? (stored >> (f.position + f.width - 1 - k)) & 1 : (before[byte] >> bit) & 1;
                ASSERT_EQ(((after[byte] >> bit) & 1) != 0, expected) << "char " << k << ": " << test::hex(after);
            }
            EXPECT_TRUE(std::ranges::equal(after, mirrorOf(b, id))) << test::hex(mirrorOf(b, id));
            std::ranges::copy(before, b.parameter.begin() + static_cast<long>(recordAt(id)));
            std::ranges::copy(mirror, b.boot.begin() + static_cast<long>(mirrorAt(id)));
            EXPECT_TRUE(b == original);
        }
    }
}

TEST(PlayerCopies, NoPlayerBehindIdZeroOrBeyondTheLast) {
    for (std::uint32_t id : {0u, kPlayerCount + 1, 0xFFFFFFFFu}) {
        TestBlocks b;
        b.fillPattern(5);
        const TestBlocks before = b;
        Player player;
        player.load(b.view(), id);
        EXPECT_FALSE(player.loaded());
        player.write(PF::Nation, 3);
        EXPECT_FALSE(writePlayerName(b.view(), PlayerName::Full, id, Bytes{'A'}));
        writeCallNumber(b.view(), id, 12000);
        writePlayerRecordBytes(b.view(), id, Bytes(kRecordSize, 1));
        player.load(b.view(), 7);
        player.setAbility(25, 50);  // abilities are 0 to 24
        player.setAbility(-1, 50);
        EXPECT_TRUE(b == before) << "id " << id;
    }
}

}  // namespace
}  // namespace tarvo
