// Team fields: the squad-slot rule and its copies, shown and stored values, and the rows whose
// entries are shorter or missing (row 105).

#include <gtest/gtest.h>

#include "records/team.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::TestBlocks;

struct SquadCase {
    int row, slot;
    std::int64_t id;
    std::optional<std::string_view> refusal;
};

TEST(TeamSquad, SlotRuleAndCopies) {
    const std::vector<SquadCase> cases{
        {0, 0, 1, std::nullopt},
        {64, 22, 2197, std::nullopt},
        {3, 5, 0, "ID should be 1--2197"},
        {3, 5, 2198, "ID should be 1--2197"},
        {3, 5, -1, "ID should be 1--2197"},
        {65, 22, 0, "ID should be 1--2197"},
        {65, 23, 0, std::nullopt},
        {65, 39, 2197, std::nullopt},
        {104, 30, 2198, "ID should be 0--2197"},
        {105, 23, 0, std::nullopt},
        {105, 0, 0, "ID should be 1--2197"},
        {105, 0, 65536 + 5, "ID should be 1--2197"},  // would wrap to 5 in 16 bits
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.row) + " slot " + std::to_string(c.slot) + " id " +
                     std::to_string(c.id));
        TestBlocks b;
        b.fillPattern(11);
        const TestBlocks before = b;
        EXPECT_EQ(setSquadId(b.view(), c.row, c.slot, c.id), c.refusal);
        if (c.refusal) {
            EXPECT_TRUE(b == before) << "a refused ID was written";
            continue;
        }
        const bool national = c.row < kNationalRows;
        const std::size_t at = national ? kNationalSquadOffset + 46 * c.row + 2 * c.slot
                                        : kClubSquadOffset + 80 * (c.row - 65) + 2 * c.slot;
        EXPECT_EQ(b.parameter[at], c.id & 0xFF);
        EXPECT_EQ(b.parameter[at + 1], c.id >> 8);
        EXPECT_EQ(readSquadId(b.view(), c.row, c.slot), c.id);
        // Put the two bytes back: then a club changed nothing else; a national team also wrote
        // the same ID into its 80-byte copy entry in the boot file, and only there.
        b.parameter[at] = before.parameter[at];
        b.parameter[at + 1] = before.parameter[at + 1];
        if (national) {
            const std::size_t copyAt = kNationalSquadCopyOffset + 80 * c.row + 2 * c.slot;
            EXPECT_EQ(b.boot[copyAt], c.id & 0xFF);
            EXPECT_EQ(b.boot[copyAt + 1], c.id >> 8);
            b.boot[copyAt] = before.boot[copyAt];
            b.boot[copyAt + 1] = before.boot[copyAt + 1];
        }
        EXPECT_TRUE(b == before);
    }

    TestBlocks b;
    const TestBlocks before = b;
    EXPECT_TRUE(setSquadId(b.view(), 0, 23, 5).has_value());   // national teams have 23 slots
    EXPECT_TRUE(setSquadId(b.view(), 106, 0, 5).has_value());
    EXPECT_TRUE(setSquadId(b.view(), 70, 40, 5).has_value());
    EXPECT_TRUE(b == before);
}

TEST(TeamValues, ShownAndStored) {
    TestBlocks b;
    auto blocks = b.view();
    // Tactics: shown = byte div 5, stored = 5 * shown.
    b.boot[kTacticsOffset + 5 * 7 + 2] = 72;
    EXPECT_EQ(readTactics(blocks, 7, 2), 14);
    storeTactics(blocks, 7, 2, readTactics(blocks, 7, 2));
    EXPECT_EQ(b.boot[kTacticsOffset + 5 * 7 + 2], 70);
    storeTactics(blocks, 104, 4, 19);
    EXPECT_EQ(b.boot[kTacticsOffset + 5 * 104 + 4], 95);

    // Shirts: shown = stored + 1, in the national or club shirt array.
    storeShirt(blocks, 10, 22, 99);
    EXPECT_EQ(b.parameter[kNationalShirtsOffset + 23 * 10 + 22], 98);
    storeShirt(blocks, 66, 39, 1);
    b.parameter[kClubShirtsOffset + 40 * 1 + 38] = 0;
    EXPECT_EQ(readShirt(blocks, 66, 38), 1);
    b.parameter[kClubShirtsOffset + 40 * 1 + 39] = 41;
    EXPECT_EQ(readShirt(blocks, 66, 39), 42);

    // Set pieces of row 105 are the last entry of their array.
    storeSetPiece(blocks, 105, 5, 10);
    EXPECT_EQ(b.boot[kSetPiecesOffset + 6 * 105 + 5], 10);
}

TEST(TeamValues, DefaultRowHasNoTactics) {
    TestBlocks b;
    b.fillPattern(2);
    const TestBlocks before = b;
    for (int k = 0; k < kTacticsCount; ++k) {
        storeTactics(b.view(), 105, k, 10);
        storeTacticsByte(b.view(), 105, k, 1);
        EXPECT_EQ(readTactics(b.view(), 105, k), 0);
    }
    EXPECT_TRUE(b == before) << "row 105 wrote tactics over the set pieces of row 0";
}

TEST(TeamNames, SlotsOfTheTeamTableAndBothClubCopies) {
    TestBlocks b;
    b.fillPattern(4);
    auto blocks = b.view();
    // Row 10 has an 8-byte team name slot at 2357728.
    EXPECT_FALSE(storeTeamName(blocks, 10, Bytes(8, 'S')));
    EXPECT_TRUE(storeTeamName(blocks, 10, Bytes(7, 'S')));
    EXPECT_EQ(b.boot[2357728 + 6], 'S');
    EXPECT_EQ(b.boot[2357728 + 7], 0);
    EXPECT_EQ(readTeamName(blocks, 10), Bytes(7, 'S'));

    // Row 104's club name lies at 227324 and again at 227389.
    const Bytes club{'B', 'o', 'c', 'a'};
    EXPECT_TRUE(storeClubName(blocks, 104, club));
    for (std::size_t at : {227324u, 227389u}) {
        EXPECT_EQ(b.parameter[at], 'B');
        EXPECT_EQ(b.parameter[at + 4], 0);
        EXPECT_EQ(b.parameter[at + 20], 0);
    }
    EXPECT_EQ(readClubName(blocks, 104), club);
    EXPECT_FALSE(storeClubName(blocks, 104, Bytes(21, 'x')));

    // Rows without a club name: nothing is written, not even the unowned slot at 48.
    const TestBlocks before = b;
    EXPECT_FALSE(storeClubName(blocks, 0, Bytes{'a'}));
    EXPECT_FALSE(storeClubName(blocks, 105, Bytes{'a'}));
    EXPECT_TRUE(b == before);

    EXPECT_TRUE(storeShortName(blocks, 105, Bytes{'D', 'E', 'F'}));
    EXPECT_EQ(b.boot[kShortNamesOffset + 4 * 105 + 3], 0);
    EXPECT_FALSE(storeShortName(blocks, 0, Bytes{'A', 'B', 'C', 'D'}));
}

}  // namespace
}  // namespace tarvo
