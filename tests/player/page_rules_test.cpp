// What the player editor's pages show for stored values and what the user's choices write: list
// entries and nation codes, the linked hair and beard lists, the face bound by the skin and the
// call number. Writes are checked against every other byte of the blocks and the second copy.

#include <gtest/gtest.h>

#include <string>

#include "player/page_rules.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::TestBlocks;

constexpr std::uint32_t kId = 40;

// A player over patterned blocks, so that stray writes show.
struct Fixture {
    TestBlocks blocks;
    Player player;
    Fixture() {
        blocks.fillPattern(7);
        player.load(blocks.view(), kId);
    }
    void store(PF field, std::uint32_t raw) { player.write(field, raw + fieldOf(field).offset); }
    ByteSpan primary() { return ByteSpan(blocks.parameter).subspan(kRecordOffset + (kId - 1) * kRecordSize, kRecordSize); }
    bool copiesEqual() {
        return std::ranges::equal(primary(), ByteSpan(blocks.boot).subspan(kRecordCopyOffset + (kId - 1) * kRecordSize, kRecordSize));
    }
    // The record with one field set, to compare a choice's write with.
    Bytes recordWith(PF field, std::uint32_t value) {
        Fixture other;
        other.player.write(field, value);
        return Bytes(other.primary().begin(), other.primary().end());
    }
};

TEST(PageLists, StoredValuesShowTheirEntryOrNone) {
    struct Case {
        PF field;
        std::uint32_t stored;  // raw bits
        int entry;
    };
    const std::vector<Case> cases{
        {PF::Position1, 10, 10}, {PF::Position1, 11, -1}, {PF::Position2, 11, 11}, {PF::Build, 5, -1},
        {PF::EyeIris, 12, -1},   {PF::ShoesModel, 15, -1}, {PF::Injury, 3, -1},    {PF::Offense, 0, -1},
        {PF::Offense, 75, 74},   {PF::Speed, 100, -1},    {PF::Nation, 55, 55},    {PF::Nation, 56, -1},
        {PF::Nation, 104, -1},   {PF::Nation, 105, 56},   {PF::Nation, 128, 79},   {PF::Nation, 129, -1},
        {PF::Nation, 240, 80},   {PF::Nation, 255, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(fieldOf(c.field).name) + " stored " + std::to_string(c.stored));
        Fixture f;
        f.store(c.field, c.stored);
        const TestBlocks before = f.blocks;
        EXPECT_EQ(entryOfStored(c.field, f.player), c.entry);
        EXPECT_TRUE(f.blocks == before) << "showing wrote";
    }
}

TEST(PageLists, AChoiceWritesOnlyItsFieldInBothCopies) {
    struct Case {
        PF field;
        int entry;
        std::optional<std::uint32_t> value;  // nullopt: outside the list, nothing written
    };
    const std::vector<Case> cases{
        {PF::Nation, 55, 55},   {PF::Nation, 56, 105},    {PF::Nation, 79, 128}, {PF::Nation, 80, 240},
        {PF::Nation, 81, {}},   {PF::Offense, 98, 99},    {PF::Offense, 0, 1},   {PF::Offense, 99, {}},
        {PF::Position2, 11, 11}, {PF::Position1, 11, {}}, {PF::Injury, -1, {}},  {PF::Height, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(fieldOf(c.field).name) + " entry " + std::to_string(c.entry));
        Fixture f;
        const TestBlocks before = f.blocks;
        EXPECT_EQ(chooseEntry(f.player, c.field, c.entry), c.value.has_value());
        if (!c.value) {
            EXPECT_TRUE(f.blocks == before);
            continue;
        }
        EXPECT_TRUE(std::ranges::equal(f.primary(), f.recordWith(c.field, *c.value))) << test::hex(f.primary());
        EXPECT_TRUE(f.copiesEqual());
        EXPECT_EQ(entryOfStored(c.field, f.player), c.entry);
    }
}

TEST(LinkedLists, HairAndBeardFollowTheirType) {
    Fixture f;
    f.store(PF::HairColor, 20);
    f.store(PF::HairType, 44);  // entry 51 ("52")
    EXPECT_EQ(hairLists(f.player), (LinkedLists{51, 20, true}));
    EXPECT_EQ(chooseHairType(f.player, kBaldEntry), (LinkedLists{kBaldEntry, -1, false}));
    EXPECT_EQ(f.player.read(PF::HairColor), kBaldHairColor);
    EXPECT_EQ(f.player.read(PF::HairType), 44u) << "bald keeps the style";
    EXPECT_EQ(chooseHairType(f.player, 4), (LinkedLists{4, 0, true}));  // leaving bald: colour "1"
    f.store(PF::HairColor, 30);
    EXPECT_EQ(chooseHairType(f.player, 6), (LinkedLists{6, 30, true}));  // "7" is code 56; colour kept
    EXPECT_EQ(f.player.read(PF::HairType), 56u);

    f.store(PF::BeardType, 12);
    EXPECT_EQ(chooseBeardType(f.player, kNoBeardEntry), (LinkedLists{kNoBeardEntry, -1, false}));
    EXPECT_EQ(f.player.read(PF::BeardColor), kNoBeardColor);
    EXPECT_EQ(f.player.read(PF::BeardType), 12u);
    EXPECT_EQ(chooseBeardType(f.player, 0), (LinkedLists{0, 62, true}));  // back: "as hair"
    EXPECT_EQ(f.player.read(PF::BeardColor), kBeardAsHairColor);
    EXPECT_TRUE(f.copiesEqual());

    // Stored values without an entry show nothing.
    f.store(PF::HairColor, 62);
    f.store(PF::HairType, 110);
    EXPECT_EQ(hairLists(f.player), (LinkedLists{-1, -1, true}));
    f.store(PF::BeardType, 60);
    EXPECT_EQ(beardLists(f.player), (LinkedLists{-1, 62, true}));
}

TEST(NumberFields, TheFaceFollowsTheSkinAndTheCallNumberItsRange) {
    for (const auto& [skin, bound] : {std::pair{0u, 125u}, {1u, 106u}, {2u, 32u}, {3u, 26u}}) {
        SCOPED_TRACE("skin " + std::to_string(skin));
        Fixture f;
        f.store(PF::Skin, skin);
        const TestBlocks before = f.blocks;
        EXPECT_FALSE(enterNumber(f.player, PF::Face, bound + 1));
        EXPECT_FALSE(enterNumber(f.player, PF::Face, 0));
        EXPECT_TRUE(f.blocks == before);
        EXPECT_TRUE(enterNumber(f.player, PF::Face, bound));
        EXPECT_EQ(f.primary()[4] & 0x7F, bound - 1);
        EXPECT_EQ(shownNumber(120, numberRange(PF::Face, skin)), std::min(120u, bound));
    }
    Fixture f;
    const TestBlocks before = f.blocks;
    for (std::int64_t refused : {11577, 15834, -1, 11085}) EXPECT_FALSE(enterCallNumber(f.blocks.view(), kId, refused));
    EXPECT_TRUE(f.blocks == before);
    ASSERT_TRUE(enterCallNumber(f.blocks.view(), kId, 15833));
    EXPECT_EQ(readCallNumber(f.blocks.view(), kId), 15833);
    EXPECT_EQ(f.blocks.select[kCallNumberCopyOffset + (kId - 1) * 2], 0xD9);
}

}  // namespace
}  // namespace tarvo
