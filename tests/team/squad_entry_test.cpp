#include "team/squad_entry.h"

#include <gtest/gtest.h>

#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;

// Stored bytes outside the game's ranges still show a number the controls accept.
TEST(SquadEntry, ShownValuesStayInTheirRanges) {
    test::TestBlocks b;
    const std::size_t shirt = kNationalShirtsOffset + 23 * 3 + 4, tactics = kTacticsOffset + 5 * 3 + 2;
    for (const auto& [stored, shown] : {std::pair{0, 1}, {98, 99}, {99, 99}, {255, 99}}) {
        b.parameter[shirt] = static_cast<std::uint8_t>(stored);
        EXPECT_EQ(shownShirtNumber(b.view(), 3, 4), shown) << stored;
    }
    for (const auto& [stored, shown] : {std::pair{0, 4}, {20, 4}, {72, 14}, {95, 19}, {99, 19}, {255, 19}}) {
        b.boot[tactics] = static_cast<std::uint8_t>(stored);
        EXPECT_EQ(shownTactics(b.view(), 3, 2), shown) << stored;
    }
}

}  // namespace
}  // namespace tarvo
