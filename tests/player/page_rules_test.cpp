// What the player editor's pages show for stored values and what the user's choices write: list
// entries and nation codes, the linked hair and beard lists and the face bound by the skin. Writes are checked against every other byte of the blocks and the second copy.

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
    // The blocks with one field written, to compare a page's write with.
    static TestBlocks written(PF field, std::uint32_t value) {
        Fixture other;
        other.player.write(field, value);
        return other.blocks;
    }
};

TEST(PageLists, EntriesAndStoredValuesBothWays) {
    // A stored value with no entry shows none, and showing writes nothing.
    for (auto [field, raw] : {std::pair{PF::Position1, 11u},
                              {PF::ShoesModel, 15u},
                              {PF::Injury, 3u},
                              {PF::Offense, 0u},
                              {PF::Speed, 100u},
                              {PF::Nation, 56u},
                              {PF::Nation, 129u},
                              {PF::Nation, 255u}}) {
        Fixture f;
        f.store(field, raw);
        const TestBlocks before = f.blocks;
        EXPECT_EQ(entryOfStored(field, f.player), -1) << fieldOf(field).name << " " << raw;
        EXPECT_TRUE(f.blocks == before) << "showing wrote";
    }
    struct Case {
        PF field;
        int entry;
        std::optional<std::uint32_t> value;  // nullopt: outside the list, nothing written
    };
    const std::vector<Case> cases{
        {PF::Nation, 55, 55},    {PF::Nation, 56, 105},   {PF::Nation, 79, 128}, {PF::Nation, 80, 240},
        {PF::Nation, 81, {}},    {PF::Offense, 98, 99},   {PF::Offense, 0, 1},   {PF::Offense, 99, {}},
        {PF::Position2, 11, 11}, {PF::Position1, 11, {}}, {PF::Injury, -1, {}},  {PF::Height, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(fieldOf(c.field).name) + " entry " + std::to_string(c.entry));
        Fixture f;
        EXPECT_EQ(chooseEntry(f.player, c.field, c.entry), c.value.has_value());
        EXPECT_TRUE(f.blocks == (c.value ? Fixture::written(c.field, *c.value) : Fixture().blocks));
        if (c.value) {
            EXPECT_EQ(entryOfStored(c.field, f.player), c.entry);
        }
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

    // Stored values without an entry show nothing.
    f.store(PF::HairColor, 62);
    f.store(PF::HairType, 110);
    EXPECT_EQ(hairLists(f.player), (LinkedLists{-1, -1, true}));
    f.store(PF::BeardType, 60);
    EXPECT_EQ(beardLists(f.player), (LinkedLists{-1, 62, true}));
}

TEST(NumberFields, TheFaceFollowsTheSkin) {
    for (const auto& [skin, bound] : {std::pair{0u, 125u}, {1u, 106u}, {2u, 32u}, {3u, 26u}}) {
        SCOPED_TRACE("skin " + std::to_string(skin));
        Fixture f;
        f.store(PF::Skin, skin);
        const TestBlocks before = f.blocks;
        EXPECT_FALSE(enterNumber(f.player, PF::Face, bound + 1));
        EXPECT_FALSE(enterNumber(f.player, PF::Face, 0));
        EXPECT_TRUE(f.blocks == before);
        EXPECT_TRUE(enterNumber(f.player, PF::Face, bound));
        EXPECT_EQ(f.blocks.parameter[kRecordOffset + (kId - 1) * kRecordSize + 4] & 0x7F, bound - 1);
        EXPECT_EQ(shownNumber(120, numberRange(PF::Face, skin)), std::min(120u, bound));
    }
}

}  // namespace
}  // namespace tarvo
