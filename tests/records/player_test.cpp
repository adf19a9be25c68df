// The player record: every field at its bits with its offset, both copies after each write, the
// bits no field covers, and the per-player name and call number tables.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "records/name_slot.h"
#include "records/player.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::hexOf;
using test::TestBlocks;

std::size_t recordAt(std::uint32_t id) { return kRecordOffset + (id - 1) * kRecordSize; }
std::size_t mirrorAt(std::uint32_t id) { return kRecordCopyOffset + (id - 1) * kRecordSize; }
ByteSpan primaryOf(TestBlocks& b, std::uint32_t id) { return ByteSpan(b.parameter).subspan(recordAt(id), kRecordSize); }
ByteSpan mirrorOf(TestBlocks& b, std::uint32_t id) { return ByteSpan(b.boot).subspan(mirrorAt(id), kRecordSize); }

// Record byte and bit of BitRecord character k.
std::pair<std::size_t, int> byteBitOfChar(std::size_t k) {
    return {kRecordSize - 1 - k / 8, static_cast<int>(7 - k % 8)};
}

TEST(PlayerFieldTable, UncoveredBitsAreExactlyTheGameSpares) {
    std::vector<int> cover(352, 0);
    for (const auto& f : kPlayerFields)
        for (std::size_t k = f.position; k < std::size_t{f.position} + f.width; ++k) ++cover[k];
    std::set<std::size_t> uncovered;
    for (std::size_t k = 0; k < cover.size(); ++k) {
        EXPECT_LE(cover[k], 1) << "bit " << k << " belongs to two fields";
        if (cover[k] == 0) uncovered.insert(k);
    }
    std::set<std::size_t> spares;
    const std::vector<std::pair<std::size_t, std::size_t>> ranges{
        {0, 1}, {5, 28}, {46, 46}, {64, 65}, {73, 74}, {96, 99}, {252, 253}, {291, 298}, {312, 312}, {332, 332}};
    for (auto [from, to] : ranges)
        for (std::size_t k = from; k <= to; ++k) spares.insert(k);
    EXPECT_EQ(spares.size(), 47u);
    EXPECT_EQ(uncovered, spares);

    // Names are unique, and the ability list names 25 different ability fields.
    std::set<std::string_view> names;
    for (const auto& f : kPlayerFields) EXPECT_TRUE(names.insert(f.name).second) << f.name;
    std::set<PF> abilities(kAbilityFields.begin(), kAbilityFields.end());
    EXPECT_EQ(abilities.size(), 25u);
    for (PF a : kAbilityFields) EXPECT_EQ(fieldOf(a).page, PlayerPage::Abilities) << fieldOf(a).name;
}

// For every field: its smallest and largest stored value on a patterned record. Only the field's
// bits change, in both copies; nothing else in the three blocks changes.
TEST(PlayerFields, EveryFieldAtItsLimitsTouchesOnlyItsBits) {
    TestBlocks original;
    original.fillPattern(3);
    const std::uint32_t id = 1234;
    // Make both copies equal so that any difference afterwards comes from the write.
    std::copy_n(original.parameter.begin() + static_cast<long>(recordAt(id)), kRecordSize,
                original.boot.begin() + static_cast<long>(mirrorAt(id)));

    for (std::size_t i = 0; i < kPlayerFields.size(); ++i) {
        const auto& f = kPlayerFields[i];
        for (std::uint32_t stored : {0u, (1u << f.width) - 1}) {
            SCOPED_TRACE(std::string(f.name) + " stored " + std::to_string(stored));
            TestBlocks b = original;
            auto blocks = b.view();
            Player player;
            player.load(blocks, id);
            player.write(static_cast<PF>(i), stored + f.offset);
            EXPECT_EQ(player.read(static_cast<PF>(i)), stored + f.offset);

            const auto before = ByteSpan(original.parameter).subspan(recordAt(id), kRecordSize);
            const auto after = primaryOf(b, id);
            for (std::size_t k = 0; k < 352; ++k) {
                const auto [byte, bit] = byteBitOfChar(k);
                const bool inField = k >= f.position && k < std::size_t{f.position} + f.width;
                const bool expected = inField ? ((stored >> (f.position + f.width - 1 - k)) & 1)
                                              : ((before[byte] >> bit) & 1);
                ASSERT_EQ(((after[byte] >> bit) & 1) != 0, expected) << "char " << k << ": " << hexOf(after);
            }
            EXPECT_TRUE(std::ranges::equal(after, mirrorOf(b, id))) << hexOf(mirrorOf(b, id));
            // Outside the two copies of this record every byte is as it was.
            std::copy_n(before.begin(), kRecordSize, b.parameter.begin() + static_cast<long>(recordAt(id)));
            std::copy_n(before.begin(), kRecordSize, b.boot.begin() + static_cast<long>(mirrorAt(id)));
            EXPECT_TRUE(b == original);
        }
    }
}

// The worked examples of the game's record: stored bytes and the values read from them.
struct Example {
    std::size_t byte;
    std::uint8_t value;
    PF field;
    std::uint32_t read;
};

TEST(PlayerFields, OffsetsAndWorkedExamples) {
    const std::vector<Example> examples{
        {0, 0x4B, PF::Skin, 3},       {0, 0x4B, PF::Age, 33},     {3, 0xA8, PF::Height, 190},
        {16, 0x05, PF::Position1, 5}, {32, 0xF0, PF::Nation, 240}, {4, 0x85, PF::Face, 6},
        {4, 0x80, PF::Face, 1},       {3, 0x00, PF::Height, 148},  {0, 0x00, PF::Age, 15},
    };
    for (const auto& e : examples) {
        TestBlocks b;
        b.parameter[recordAt(1) + e.byte] = e.value;
        Player player;
        player.load(b.view(), 1);
        EXPECT_EQ(player.read(e.field), e.read) << fieldOf(e.field).name << " from byte " << e.byte;
    }

    // Writes subtract the offset; what does not fit loses its high bits.
    struct Write {
        PF field;
        std::uint32_t value;
        std::size_t byte;
        std::uint8_t stored;  // the record byte afterwards (all other bytes 0)
        std::uint32_t readBack;
    };
    const std::vector<Write> writes{
        {PF::Height, 205, 3, 57 << 2, 205},    {PF::Height, 250, 3, 38 << 2, 186},
        {PF::Height, 147, 3, 63 << 2, 211},    {PF::Age, 15, 0, 0, 15},
        {PF::Age, 46, 0, 31 << 2, 46},         {PF::Face, 1, 4, 0, 1},
        {PF::Face, 125, 4, 124, 125},          {PF::Nation, 240, 32, 0xF0, 240},
        {PF::Offense, 0, 15, 0, 0},            {PF::Offense, 99, 15, 99 << 1, 99},
    };
    for (const auto& w : writes) {
        SCOPED_TRACE(std::string(fieldOf(w.field).name) + " = " + std::to_string(w.value));
        TestBlocks b;
        Player player;
        player.load(b.view(), 1);
        player.write(w.field, w.value);
        EXPECT_EQ(player.read(w.field), w.readBack);
        std::array<std::uint8_t, kRecordSize> expected{};
        expected[w.byte] = w.stored;
        EXPECT_TRUE(std::ranges::equal(primaryOf(b, 1), expected)) << hexOf(primaryOf(b, 1));
    }
}

TEST(PlayerCopies, ReadsThePrimaryAndLevelsTheMirrorOnWrite) {
    for (std::uint32_t id : {1u, 2u, 1099u, kPlayerCount}) {
        SCOPED_TRACE("player " + std::to_string(id));
        TestBlocks b;
        b.fillPattern(id);
        Bytes primary(primaryOf(b, id).begin(), primaryOf(b, id).end());
        ASSERT_FALSE(std::ranges::equal(primary, mirrorOf(b, id)));
        const TestBlocks untouched = b;

        Player player;
        player.load(b.view(), id);
        EXPECT_EQ(player.bits(), expandRecord(primary));
        EXPECT_TRUE(b == untouched) << "load wrote something";

        player.write(PF::Position1, 5);
        primary[16] = static_cast<std::uint8_t>((primary[16] & 0xF0) | 5);
        EXPECT_TRUE(std::ranges::equal(primaryOf(b, id), primary)) << hexOf(primaryOf(b, id));
        EXPECT_TRUE(std::ranges::equal(mirrorOf(b, id), primary)) << hexOf(mirrorOf(b, id));
    }
    // The last player's record is the last entry of the table.
    EXPECT_EQ(recordAt(kPlayerCount), 208812u);
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
        player.setAbility(0, 50);
        EXPECT_FALSE(writePlayerName(b.view(), PlayerName::Full, id, Bytes{'A'}));
        writeCallNumber(b.view(), id, 12000);
        writePlayerRecordBytes(b.view(), id, Bytes(kRecordSize, 1));
        EXPECT_TRUE(playerNameSlot(b.view(), PlayerName::Back, id).empty());
        EXPECT_TRUE(b == before) << "id " << id;
    }
    // Ability indexes outside 0 to 24 write nothing.
    TestBlocks b;
    const TestBlocks before = b;
    Player player;
    player.load(b.view(), 7);
    player.setAbility(25, 50);
    player.setAbility(-1, 50);
    EXPECT_TRUE(b == before);
}

// Names and call numbers: both copies, whole slots cleared, nothing beyond the slot.
TEST(PlayerNames, StoredInBothCopies) {
    struct Case {
        PlayerName which;
        std::size_t offset, copyOffset, size;
    };
    for (const auto& c : {Case{PlayerName::Full, kFullNameOffset, kFullNameCopyOffset, kFullNameSize},
                          Case{PlayerName::Back, kBackNameOffset, kBackNameCopyOffset, kBackNameSize}}) {
        const std::uint32_t id = 500;
        TestBlocks b;
        b.fillPattern(8);
        const TestBlocks before = b;
        const std::size_t at = c.offset + (id - 1) * c.size, copyAt = c.copyOffset + (id - 1) * c.size;

        const Bytes longest(c.size - 1, 0x82);
        EXPECT_TRUE(writePlayerName(b.view(), c.which, id, longest));
        EXPECT_EQ(readPlayerName(b.view(), c.which, id), longest);
        EXPECT_FALSE(writePlayerName(b.view(), c.which, id, Bytes(c.size, 'X')));  // no room for the NUL
        EXPECT_EQ(readPlayerName(b.view(), c.which, id), longest);

        const Bytes shorter{'P', 'e', 'l', 'e'};
        EXPECT_TRUE(writePlayerName(b.view(), c.which, id, shorter));
        Bytes slot(c.size, 0);
        std::copy(shorter.begin(), shorter.end(), slot.begin());
        EXPECT_TRUE(std::ranges::equal(ByteSpan(b.parameter).subspan(at, c.size), slot));
        EXPECT_TRUE(std::ranges::equal(ByteSpan(b.select).subspan(copyAt, c.size), slot));
        EXPECT_EQ(b.parameter[at - 1], before.parameter[at - 1]);
        EXPECT_EQ(b.parameter[at + c.size], before.parameter[at + c.size]);
        EXPECT_EQ(b.select[copyAt + c.size], before.select[copyAt + c.size]);
    }

    TestBlocks b;
    writeCallNumber(b.view(), 3, 0x2D3A);
    const std::size_t at = kCallNumberOffset + 2 * kCallNumberSize,
                      copyAt = kCallNumberCopyOffset + 2 * kCallNumberSize;
    EXPECT_EQ(b.parameter[at], 0x3A);
    EXPECT_EQ(b.parameter[at + 1], 0x2D);
    EXPECT_EQ(b.select[copyAt], 0x3A);
    EXPECT_EQ(b.select[copyAt + 1], 0x2D);
    EXPECT_EQ(readCallNumber(b.view(), 3), 0x2D3A);
}

TEST(NameSlots, ReadUpToTheNulAndStoreInsideTheSlot) {
    Bytes buffer(12, 0xEE);
    const MutableByteSpan slot = MutableByteSpan(buffer).subspan(2, 8);
    EXPECT_EQ(readNameSlot(slot), Bytes(8, 0xEE));  // no NUL: the whole slot
    EXPECT_TRUE(storeNameSlot(slot, Bytes{'A', 'B'}));
    EXPECT_EQ(buffer, (Bytes{0xEE, 0xEE, 'A', 'B', 0, 0, 0, 0, 0, 0, 0xEE, 0xEE}));
    EXPECT_EQ(readNameSlot(slot), (Bytes{'A', 'B'}));
    EXPECT_FALSE(storeNameSlot(slot, Bytes(8, 'C')));
    EXPECT_FALSE(storeNameSlot(MutableByteSpan{}, Bytes{}));
    EXPECT_EQ(buffer, (Bytes{0xEE, 0xEE, 'A', 'B', 0, 0, 0, 0, 0, 0, 0xEE, 0xEE}));
    EXPECT_TRUE(storeNameSlot(slot, Bytes(7, 'C')));
    EXPECT_EQ(buffer[9], 0);
    EXPECT_EQ(buffer[10], 0xEE);
}

}  // namespace
}  // namespace tarvo
