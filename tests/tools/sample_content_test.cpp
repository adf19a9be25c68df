// The sample disc's invented data: the same blocks in the image and the exported files, and every
// player field inside the range its editor control allows.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "records/player.h"
#include "records/player_tables.h"
#include "sample/sample_disc.h"
#include "store/block_map.h"
#include "store/data_store.h"
#include "support/sample.h"

namespace tarvo::sample {
namespace {

namespace bm = blockmap;

SampleBlocks& blocks() {
    static SampleBlocks made = makeSampleBlocks();
    return made;
}

// (That every second copy equals its primary: the verify tests on the sample.)
TEST(SampleContent, ImageAndExportedFilesHoldTheGeneratedBlocks) {
    const SampleBlocks& b = blocks();
    MessageLog log;
    DataStore image(log), files(log);
    ASSERT_TRUE(image.LoadFromImage(test::sampleImage()) && files.LoadFromDirectory(test::sampleExportDir()));
    for (const DataStore* s : {&image, &files})
        EXPECT_TRUE(std::ranges::equal(s->boot(), b.boot) && std::ranges::equal(s->parameter(), b.parameter) &&
                    std::ranges::equal(s->select(), b.select));
}

// What the editor's controls can set, field by field; the face is bounded by the skin too.
TEST(SampleContent, EveryPlayerFieldLiesInItsControlsRange) {
    const std::tuple<std::uint32_t, std::uint32_t, std::vector<PF>> looks[] = {
        {148, 205, {PF::Height}},
        {40, 123, {PF::Weight}},
        {15, 46, {PF::Age}},
        {1, 125, {PF::Face}},
        {0, 3, {PF::Skin}},
        {0, 102, {PF::HairType}},
        {0, 59, {PF::BeardType}},
        {0, 63, {PF::HairColor, PF::BeardColor}},
        {0, 11, {PF::EyeIris, PF::Position2, PF::Position3}},
        {0, 2, {PF::EyeGlobe, PF::Sleeves, PF::Foot, PF::Injury}},
        {0, 4, {PF::FreeKick, PF::Build}},
        {0, 9, {PF::ShoesModel}},
        {0, 7, {PF::HeadV, PF::HeadH, PF::Accessory, PF::ShoesColor, PF::ShoesDesignColor, PF::ShoesTongueColor}},
        {0, 10, {PF::Position1}},
        {0, 240, {PF::Nation}}};
    std::map<PF, std::pair<std::uint32_t, std::uint32_t>> ranges;
    for (const auto& [min, max, fields] : looks)
        for (PF f : fields) ranges[f] = {min, max};
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
