// What the player editor's pages show for stored values and what the user's choices write:
// list entries and their stored values, nation codes, the linked hair and beard lists, number
// ranges and the call number. Every write is checked bit for bit against the record's other
// fields and against the second copy.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "player/page_rules.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::hexOf;
using test::TestBlocks;

constexpr std::uint32_t kId = 40;

ByteSpan primaryOf(TestBlocks& b) { return ByteSpan(b.parameter).subspan(kRecordOffset + (kId - 1) * kRecordSize, kRecordSize); }
ByteSpan mirrorOf(TestBlocks& b) { return ByteSpan(b.boot).subspan(kRecordCopyOffset + (kId - 1) * kRecordSize, kRecordSize); }

// A player over patterned blocks, so that stray writes show.
struct Fixture {
    TestBlocks blocks;
    Player player;
    Fixture() {
        blocks.fillPattern(7);
        player.load(blocks.view(), kId);
    }
    // Sets one field's raw stored bits (no offset) and reloads.
    void store(PF field, std::uint32_t value) {
        player.write(field, value + fieldOf(field).offset);
    }
    // Every field's value, to show which ones a choice changed.
    std::array<std::uint32_t, kPlayerFieldCount> all() const {
        std::array<std::uint32_t, kPlayerFieldCount> values{};
        for (std::size_t i = 0; i < kPlayerFieldCount; ++i) values[i] = player.read(static_cast<PF>(i));
        return values;
    }
};

// Fields whose values differ between two snapshots.
std::vector<std::string> changed(const std::array<std::uint32_t, kPlayerFieldCount>& before,
                                 const std::array<std::uint32_t, kPlayerFieldCount>& after) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kPlayerFieldCount; ++i)
        if (before[i] != after[i]) names.emplace_back(kPlayerFields[i].name);
    return names;
}

struct ListCase {
    PF field;
    std::size_t count;
    std::string first;
    std::string last;
};

TEST(PageLists, HoldTheGameEntriesInStoredOrder) {
    const std::vector<ListCase> cases{
        {PF::Position1, 11, "Goal Keeper", "Wing"},  {PF::Position2, 12, "Goal Keeper", "None"},
        {PF::Position3, 12, "Goal Keeper", "None"},  {PF::Nation, 81, "1.Ireland", "81.FREE"},
        {PF::Build, 5, "1", "5"},                    {PF::Skin, 4, "1", "4"},
        {PF::HeadV, 8, "1", "8"},                    {PF::HeadH, 8, "1", "8"},
        {PF::EyeGlobe, 3, "1", "3"},                 {PF::EyeIris, 12, "black 1", "green2"},
        {PF::HairType, 104, "1", "bald"},            {PF::HairColor, 62, "1", "62"},
        {PF::Accessory, 8, "1", "8"},                {PF::BeardType, 61, "1", "NO"},
        {PF::BeardColor, 63, "1", "as hair"},        {PF::Sleeves, 3, "by season", "long"},
        {PF::ShoesModel, 10, "1", "10"},             {PF::ShoesColor, 8, "1", "8"},
        {PF::ShoesDesignColor, 8, "1", "8"},         {PF::ShoesTongueColor, 8, "1", "8"},
        {PF::Foot, 3, "right", "both"},              {PF::FreeKick, 5, "A", "E"},
        {PF::Injury, 3, "C", "A"},                   {PF::Offense, 99, "1", "99"},
        {PF::Teamwork, 99, "1", "99"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(fieldOf(c.field).name));
        const auto entries = listEntries(c.field);
        ASSERT_EQ(entries.size(), c.count);
        EXPECT_EQ(entries.front(), c.first);
        EXPECT_EQ(entries.back(), c.last);
    }
    // The number fields and check boxes have no list.
    for (PF field : {PF::Height, PF::Weight, PF::Age, PF::Face, PF::Feints}) EXPECT_TRUE(listEntries(field).empty());
    EXPECT_EQ(listEntries(PF::Nation)[56], "57.Iceland");
}

struct StoredCase {
    PF field;
    std::uint32_t stored;  // raw bits
    int entry;
};

TEST(PageLists, ShowTheStoredValueOrNoSelection) {
    const std::vector<StoredCase> cases{
        {PF::Position1, 10, 10}, {PF::Position1, 11, -1}, {PF::Position2, 11, 11}, {PF::Position3, 12, -1},
        {PF::Build, 4, 4},       {PF::Build, 5, -1},      {PF::EyeGlobe, 2, 2},     {PF::EyeGlobe, 3, -1},
        {PF::EyeIris, 11, 11},   {PF::EyeIris, 12, -1},   {PF::ShoesModel, 9, 9},   {PF::ShoesModel, 15, -1},
        {PF::Sleeves, 3, -1},    {PF::Foot, 2, 2},        {PF::FreeKick, 4, 4},     {PF::FreeKick, 5, -1},
        {PF::Injury, 2, 2},      {PF::Injury, 3, -1},     {PF::Skin, 3, 3},         {PF::HeadV, 7, 7},
        {PF::Offense, 0, -1},    {PF::Offense, 1, 0},     {PF::Offense, 75, 74},    {PF::Speed, 99, 98},
        {PF::Speed, 100, -1},    {PF::ShootTech, 127, -1},
        {PF::Nation, 0, 0},      {PF::Nation, 55, 55},    {PF::Nation, 56, -1},     {PF::Nation, 60, -1},
        {PF::Nation, 104, -1},   {PF::Nation, 105, 56},   {PF::Nation, 128, 79},    {PF::Nation, 129, -1},
        {PF::Nation, 239, -1},   {PF::Nation, 240, 80},   {PF::Nation, 255, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(fieldOf(c.field).name) + " stored " + std::to_string(c.stored));
        Fixture f;
        f.store(c.field, c.stored);
        const Bytes before(primaryOf(f.blocks).begin(), primaryOf(f.blocks).end());
        EXPECT_EQ(entryOfStored(c.field, f.player), c.entry);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), primaryOf(f.blocks).begin())) << "showing wrote";
    }
}

TEST(PageLists, AChoiceWritesOnlyItsFieldInBothCopies) {
    struct ChoiceCase {
        PF field;
        int entry;
        std::uint32_t value;  // read back
    };
    const std::vector<ChoiceCase> cases{
        {PF::Position1, 5, 5},  {PF::Position2, 11, 11}, {PF::Nation, 0, 0},      {PF::Nation, 55, 55},
        {PF::Nation, 56, 105},  {PF::Nation, 79, 128},   {PF::Nation, 80, 240},   {PF::EyeIris, 11, 11},
        {PF::Offense, 98, 99},  {PF::Offense, 0, 1},     {PF::Teamwork, 49, 50},  {PF::Injury, 2, 2},
        {PF::BeardColor, 62, 62}, {PF::HairColor, 61, 61}, {PF::ShoesTongueColor, 7, 7}, {PF::Skin, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(fieldOf(c.field).name) + " entry " + std::to_string(c.entry));
        Fixture f;
        const auto before = f.all();
        ASSERT_TRUE(chooseEntry(f.player, c.field, c.entry));
        EXPECT_EQ(f.player.read(c.field), c.value);
        const auto names = changed(before, f.all());
        EXPECT_TRUE(names.empty() || (names.size() == 1 && names[0] == fieldOf(c.field).name));
        EXPECT_TRUE(std::ranges::equal(primaryOf(f.blocks), mirrorOf(f.blocks))) << hexOf(mirrorOf(f.blocks));
        EXPECT_EQ(entryOfStored(c.field, f.player), c.entry);
    }
}

TEST(PageLists, AnEntryOutsideTheListWritesNothing) {
    for (PF field : {PF::Position1, PF::Nation, PF::Offense, PF::Injury, PF::HairType, PF::BeardType, PF::Height}) {
        SCOPED_TRACE(std::string(fieldOf(field).name));
        Fixture f;
        const TestBlocks before = f.blocks;
        const int count = static_cast<int>(listEntries(field).size());
        EXPECT_FALSE(chooseEntry(f.player, field, -1));
        EXPECT_FALSE(chooseEntry(f.player, field, count));
        EXPECT_TRUE(f.blocks == before);
    }
}

TEST(LinkedLists, BaldAndBackGiveTheFirstColourAndTheStyleCode) {
    Fixture f;
    f.store(PF::HairColor, 20);
    f.store(PF::HairType, 44);  // entry 51 ("52")
    EXPECT_EQ(hairLists(f.player), (LinkedLists{51, 20, true}));

    const auto before = f.all();
    EXPECT_EQ(chooseHairType(f.player, kBaldEntry), (LinkedLists{kBaldEntry, -1, false}));
    EXPECT_EQ(f.player.read(PF::HairColor), kBaldHairColor);
    EXPECT_EQ(f.player.read(PF::HairType), 44u) << "bald keeps the style";
    EXPECT_EQ(changed(before, f.all()), std::vector<std::string>{"hair color"});

    EXPECT_EQ(chooseHairType(f.player, 4), (LinkedLists{4, 0, true}));  // "5": colour "1"
    EXPECT_EQ(f.player.read(PF::HairColor), 0u);
    EXPECT_EQ(f.player.read(PF::HairType), 4u);

    f.store(PF::HairColor, 30);
    EXPECT_EQ(chooseHairType(f.player, 6), (LinkedLists{6, 30, true}));  // "7" is code 56; colour kept
    EXPECT_EQ(f.player.read(PF::HairType), 56u);
    EXPECT_EQ(f.player.read(PF::HairColor), 30u);
    EXPECT_TRUE(std::ranges::equal(primaryOf(f.blocks), mirrorOf(f.blocks)));
}

TEST(LinkedLists, NoBeardAndBackGiveTheHairColour) {
    Fixture f;
    f.store(PF::BeardColor, 5);
    f.store(PF::BeardType, 12);
    EXPECT_EQ(beardLists(f.player), (LinkedLists{12, 5, true}));

    const auto before = f.all();
    EXPECT_EQ(chooseBeardType(f.player, kNoBeardEntry), (LinkedLists{kNoBeardEntry, -1, false}));
    EXPECT_EQ(f.player.read(PF::BeardColor), kNoBeardColor);
    EXPECT_EQ(f.player.read(PF::BeardType), 12u);
    EXPECT_EQ(changed(before, f.all()), std::vector<std::string>{"beardcolor"});

    EXPECT_EQ(chooseBeardType(f.player, 0), (LinkedLists{0, 62, true}));
    EXPECT_EQ(f.player.read(PF::BeardColor), kBeardAsHairColor);
    EXPECT_EQ(f.player.read(PF::BeardType), 0u);

    EXPECT_EQ(chooseBeardType(f.player, 59), (LinkedLists{59, 62, true}));
    EXPECT_EQ(f.player.read(PF::BeardColor), kBeardAsHairColor);
}

TEST(LinkedLists, StoredValuesWithoutAnEntryShowNothing) {
    Fixture f;
    f.store(PF::HairColor, 62);   // no list entry "63"
    f.store(PF::HairType, 110);   // no hair style has code 110
    EXPECT_EQ(hairLists(f.player), (LinkedLists{-1, -1, true}));
    f.store(PF::BeardColor, 62);
    f.store(PF::BeardType, 60);
    EXPECT_EQ(beardLists(f.player), (LinkedLists{-1, 62, true}));
    f.store(PF::BeardColor, 63);
    EXPECT_EQ(beardLists(f.player), (LinkedLists{kNoBeardEntry, -1, false}));
}

TEST(NumberFields, ShowTheNearestNumberAndStoreOnlyInRange) {
    Fixture f;
    EXPECT_EQ(shownNumber(208, numberRange(PF::Height, 0)), 205u);
    EXPECT_EQ(shownNumber(147, numberRange(PF::Height, 0)), 148u);
    EXPECT_EQ(shownNumber(30, numberRange(PF::Weight, 0)), 40u);
    EXPECT_EQ(shownNumber(46, numberRange(PF::Age, 0)), 46u);

    const TestBlocks before = f.blocks;
    EXPECT_FALSE(enterNumber(f.player, PF::Height, 300));
    EXPECT_FALSE(enterNumber(f.player, PF::Height, 147));
    EXPECT_FALSE(enterNumber(f.player, PF::Weight, 124));
    EXPECT_FALSE(enterNumber(f.player, PF::Age, 14));
    EXPECT_FALSE(enterNumber(f.player, PF::Face, 0));
    EXPECT_TRUE(f.blocks == before);

    ASSERT_TRUE(enterNumber(f.player, PF::Height, 190));
    EXPECT_EQ(primaryOf(f.blocks)[3] >> 2, 42) << hexOf(primaryOf(f.blocks));  // height code 42
    EXPECT_TRUE(std::ranges::equal(primaryOf(f.blocks), mirrorOf(f.blocks)));
}

TEST(NumberFields, TheFaceFollowsTheSkin) {
    struct FaceCase {
        std::uint32_t skin;
        std::uint32_t bound;
    };
    for (const auto& c : {FaceCase{0, 125}, FaceCase{1, 106}, FaceCase{2, 32}, FaceCase{3, 26}}) {
        SCOPED_TRACE("skin " + std::to_string(c.skin));
        Fixture f;
        f.store(PF::Skin, c.skin);
        EXPECT_EQ(numberRange(PF::Face, c.skin).max, c.bound);
        EXPECT_FALSE(enterNumber(f.player, PF::Face, c.bound + 1));
        EXPECT_TRUE(enterNumber(f.player, PF::Face, c.bound));
        EXPECT_EQ(f.player.read(PF::Face), c.bound);
        EXPECT_EQ(primaryOf(f.blocks)[4] & 0x7F, c.bound - 1);
    }
    EXPECT_EQ(shownNumber(120, numberRange(PF::Face, 2)), 32u);
}

TEST(CallNumber, KindsRangesAndBothCopies) {
    EXPECT_EQ(callNumberKind(11085), CallNumberKind::None);
    EXPECT_EQ(callNumberKind(11578), CallNumberKind::InRange);
    EXPECT_EQ(callNumberKind(15833), CallNumberKind::InRange);
    EXPECT_EQ(callNumberKind(11577), CallNumberKind::OutOfRange);
    EXPECT_EQ(callNumberKind(15834), CallNumberKind::OutOfRange);
    EXPECT_EQ(callNumberKind(0), CallNumberKind::OutOfRange);
    EXPECT_EQ(callNumberShowRange(20000).min, 11578u);
    EXPECT_EQ(callNumberShowRange(20000).max, 20000u);
    EXPECT_EQ(callNumberShowRange(100).min, 100u);
    EXPECT_EQ(callNumberShowRange(12000).max, 15833u);

    TestBlocks blocks;
    blocks.fillPattern(3);
    const TestBlocks before = blocks;
    for (std::int64_t refused : {std::int64_t{11577}, std::int64_t{15834}, std::int64_t{-1}, std::int64_t{11085}})
        EXPECT_FALSE(enterCallNumber(blocks.view(), kId, refused)) << refused;
    EXPECT_TRUE(blocks == before);

    ASSERT_TRUE(enterCallNumber(blocks.view(), kId, 15833));
    const std::size_t at = kCallNumberOffset + (kId - 1) * 2, copyAt = kCallNumberCopyOffset + (kId - 1) * 2;
    EXPECT_EQ(blocks.parameter[at], 0xD9);
    EXPECT_EQ(blocks.parameter[at + 1], 0x3D);
    EXPECT_EQ(blocks.select[copyAt], 0xD9);
    EXPECT_EQ(blocks.select[copyAt + 1], 0x3D);
    EXPECT_EQ(test::firstDifference(blocks.boot, before.boot), -1);
}

}  // namespace
}  // namespace tarvo
