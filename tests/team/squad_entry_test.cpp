#include "team/squad_entry.h"

#include <gtest/gtest.h>

#include "records/team.h"
#include "sample/sample_disc.h"
#include "support/sample.h"

namespace tarvo {
namespace {

class SquadEntryTest : public testing::Test {
protected:
    void SetUp() override {
        sample::SampleBlocks made = sample::makeSampleBlocks();
        ASSERT_TRUE(store.adoptBlocks(std::move(made.boot), std::move(made.parameter), std::move(made.select)));
        blocks = store.blocks();
    }
    MessageLog log;
    DataStore store{log};
    GameBlocks blocks{};
};

TEST_F(SquadEntryTest, ShownValuesStayInTheirRanges) {
    const std::size_t shirt = blockmap::kNationalShirtsOffset + 23 * 3 + 4;  // row 3, slot 4
    const std::pair<std::uint8_t, int> shirts[] = {{0, 1}, {9, 10}, {98, 99}, {99, 99}, {255, 99}};
    for (const auto& [stored, shown] : shirts) {
        blocks.parameter[shirt] = stored;
        EXPECT_EQ(shownShirtNumber(blocks, 3, 4), shown) << int(stored);
    }
    const std::size_t tactics = blockmap::kTacticsOffset + 5 * 3 + 2;  // row 3, teamwork
    const std::pair<std::uint8_t, int> values[] = {{0, 4}, {19, 4}, {20, 4}, {72, 14}, {95, 19}, {99, 19}, {255, 19}};
    for (const auto& [stored, shown] : values) {
        blocks.boot[tactics] = stored;
        EXPECT_EQ(shownTactics(blocks, 3, 2), shown) << int(stored);
    }
}

}  // namespace
}  // namespace tarvo
