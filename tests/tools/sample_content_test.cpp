// The sample disc's invented data: the same blocks in the image, the exported files and a second
// generation, every second copy equal to its primary, and every player field inside the range its
// editor control allows.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "records/player.h"
#include "records/player_tables.h"
#include "sample/sample_disc.h"
#include "store/block_map.h"
#include "store/data_store.h"
#include "store/team_table.h"
#include "support/sample.h"

namespace tarvo::sample {
namespace {

namespace bm = blockmap;

SampleBlocks& blocks() {
    static SampleBlocks made = makeSampleBlocks();
    return made;
}

TEST(SampleContent, DiscHoldsTheGeneratedBlocksWithEverySecondCopyEqualToItsPrimary) {
    const SampleBlocks& b = blocks();
    MessageLog log;
    DataStore image(log), files(log);
    ASSERT_TRUE(image.LoadFromImage(test::sampleImage()) && files.LoadFromDirectory(test::sampleExportDir()));
    for (const DataStore* s : {&image, &files})
        EXPECT_TRUE(std::ranges::equal(s->boot(), b.boot) && std::ranges::equal(s->parameter(), b.parameter) &&
                    std::ranges::equal(s->select(), b.select));
    struct Table {
        const char* name;
        const Bytes &primaryBlock, &copyBlock;
        std::size_t primary, copy, entrySize, copyStride, entries;
    };
    std::vector<Table> tables{
        {"full names", b.parameter, b.select, bm::kFullNameOffset, bm::kFullNameCopyOffset, bm::kFullNameSize,
         bm::kFullNameSize, bm::kPlayerCount},
        {"back names", b.parameter, b.select, bm::kBackNameOffset, bm::kBackNameCopyOffset, bm::kBackNameSize,
         bm::kBackNameSize, bm::kPlayerCount},
        {"call numbers", b.parameter, b.select, bm::kCallNumberOffset, bm::kCallNumberCopyOffset, 2, 2,
         bm::kPlayerCount},
        {"player records", b.parameter, b.boot, bm::kRecordOffset, bm::kRecordCopyOffset, bm::kRecordSize,
         bm::kRecordSize, bm::kPlayerCount},
        {"national squads", b.parameter, b.boot, bm::kNationalSquadOffset, bm::kNationalSquadCopyOffset, 46,
         bm::kNationalSquadCopyStride, bm::kNationalRows},
    };
    for (int row = bm::kNationalRows; row < bm::kDefaultTeamRow; ++row) {
        const std::size_t at = TeamTable[static_cast<std::size_t>(row)].clubNameOffset;
        tables.push_back(
            {"club name", b.parameter, b.parameter, at, at + bm::kClubNameCopyDistance, bm::kClubNameSize, 0, 1});
    }
    for (const Table& t : tables) {
        for (std::size_t i = 0; i < t.entries; ++i) {
            const auto first = ByteSpan(t.primaryBlock).subspan(t.primary + i * t.entrySize, t.entrySize);
            const auto second = ByteSpan(t.copyBlock).subspan(t.copy + i * t.copyStride, t.entrySize);
            if (!std::ranges::equal(first, second)) {
                ADD_FAILURE() << t.name << " at " << t.primary << " entry " << i << ": " << test::hex(first) << " / "
                              << test::hex(second);
                break;
            }
        }
    }
}

// What the editor's controls can set, field by field; the face is bounded by the skin too.
TEST(SampleContent, EveryPlayerFieldLiesInItsControlsRange) {
    std::map<PF, std::pair<std::uint32_t, std::uint32_t>> ranges{{PF::Height, {148, 205}},
                                                                 {PF::Weight, {40, 123}},
                                                                 {PF::Age, {15, 46}},
                                                                 {PF::Face, {1, 125}},
                                                                 {PF::Skin, {0, 3}},
                                                                 {PF::HairType, {0, 102}},
                                                                 {PF::HairColor, {0, 63}},
                                                                 {PF::BeardType, {0, 59}},
                                                                 {PF::BeardColor, {0, 63}},
                                                                 {PF::EyeIris, {0, 11}},
                                                                 {PF::EyeGlobe, {0, 2}},
                                                                 {PF::Sleeves, {0, 2}},
                                                                 {PF::Foot, {0, 2}},
                                                                 {PF::FreeKick, {0, 4}},
                                                                 {PF::Build, {0, 4}},
                                                                 {PF::ShoesModel, {0, 9}},
                                                                 {PF::HeadV, {0, 7}},
                                                                 {PF::HeadH, {0, 7}},
                                                                 {PF::Accessory, {0, 7}},
                                                                 {PF::ShoesColor, {0, 7}},
                                                                 {PF::ShoesDesignColor, {0, 7}},
                                                                 {PF::ShoesTongueColor, {0, 7}},
                                                                 {PF::Position1, {0, 10}},
                                                                 {PF::Position2, {0, 11}},
                                                                 {PF::Position3, {0, 11}},
                                                                 {PF::Injury, {0, 2}},
                                                                 {PF::Nation, {0, 240}}};
    for (PF f : kAbilityFields) ranges[f] = {1, 99};
    for (PF f : kSpecialAbilityFields) ranges[f] = {0, 1};
    ASSERT_EQ(ranges.size(), kPlayerFieldCount);
    const GameBlocks view{blocks().boot, blocks().parameter, blocks().select};
    std::map<PF, std::set<std::uint32_t>> seen;
    Player player;
    for (std::uint32_t id = 1; id <= bm::kPlayerCount && !::testing::Test::HasFailure(); ++id) {
        player.load(view, id);
        SCOPED_TRACE("player " + std::to_string(id) + " record " + test::hex(playerRecordBytes(view, id)));
        for (const auto& [field, range] : ranges) {
            const std::uint32_t value = player.read(field);
            EXPECT_TRUE(value >= range.first && value <= range.second) << fieldOf(field).name << " = " << value;
            seen[field].insert(value);
        }
        EXPECT_LE(player.read(PF::Face), faceBoundOfSkin(player.read(PF::Skin)));
        EXPECT_NE(player.read(PF::HairColor), 62u);  // 0 to 61, or 63 for bald
        EXPECT_TRUE(nationEntryOfCode(player.read(PF::Nation)).has_value()) << player.read(PF::Nation);
        const std::uint16_t call = readCallNumber(view, id);
        EXPECT_TRUE(call == kNoCallNumber || (call >= kCallNumberMin && call <= kCallNumberMax)) << call;
    }
    // Invented, but not all alike: every field takes several values across the players.
    for (const auto& [field, values] : seen) EXPECT_GE(values.size(), 2u) << fieldOf(field).name;
}

}  // namespace
}  // namespace tarvo::sample
