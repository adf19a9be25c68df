// Team fields: the squad-slot rule and its copies, shown and stored values, the rows whose entries
// are shorter or missing (row 105), and the formations' roles and presets.

#include <gtest/gtest.h>

#include "records/formation.h"
#include "records/team.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::TestBlocks;

TEST(TeamSquad, SlotRuleAndCopies) {
    struct Case {
        int row, slot;
        std::int64_t id;
        std::optional<std::string_view> refusal;
    };
    const std::vector<Case> cases{
        {0, 0, 1, std::nullopt},
        {64, 22, 2197, std::nullopt},
        {3, 5, 0, "ID should be 1--2197"},
        {3, 5, 2198, "ID should be 1--2197"},
        {65, 22, 0, "ID should be 1--2197"},
        {65, 23, 0, std::nullopt},
        {104, 30, 2198, "ID should be 0--2197"},
        {105, 0, 65536 + 5, "ID should be 1--2197"},  // would wrap to 5 in 16 bits
        {0, 23, 5, ""},  // national teams have 23 slots
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.row) + " slot " + std::to_string(c.slot) + " id " + std::to_string(c.id));
        TestBlocks b;
        b.fillPattern(11);
        TestBlocks expected = b;
        const auto refusal = setSquadId(b.view(), c.row, c.slot, c.id);
        EXPECT_EQ(refusal.has_value(), c.refusal.has_value());
        if (c.refusal && !c.refusal->empty()) {
            EXPECT_EQ(refusal, c.refusal);
        }
        if (!c.refusal) {
            // A club's ID is stored once; a national team's also in its 80-byte copy entry.
            const bool national = c.row < kNationalRows;
            const std::size_t at = national ? kNationalSquadOffset + 46 * c.row + 2 * c.slot
                                            : kClubSquadOffset + 80 * (c.row - 65) + 2 * c.slot;
            writeU16LE(expected.parameter, at, static_cast<std::uint16_t>(c.id));
            if (national) writeU16LE(expected.boot, kNationalSquadCopyOffset + 80 * c.row + 2 * c.slot, static_cast<std::uint16_t>(c.id));
            EXPECT_EQ(readSquadId(b.view(), c.row, c.slot), c.id);
        }
        EXPECT_TRUE(b == expected);
    }
}

TEST(TeamValues, TacticsAndTheRowWithoutThem) {
    TestBlocks b;
    b.boot[kTacticsOffset + 5 * 7 + 2] = 72;
    EXPECT_EQ(readTactics(b.view(), 7, 2), 14);
    storeTactics(b.view(), 7, 2, readTactics(b.view(), 7, 2));
    EXPECT_EQ(b.boot[kTacticsOffset + 5 * 7 + 2], 70);

    b.fillPattern(2);
    const TestBlocks before = b;
    for (int k = 0; k < kTacticsCount; ++k) {
        storeTactics(b.view(), 105, k, 10);
        storeTacticsByte(b.view(), 105, k, 1);
        EXPECT_EQ(readTactics(b.view(), 105, k), 0);
    }
    EXPECT_TRUE(b == before) << "row 105 wrote tactics over the set pieces of row 0";
}

TEST(TeamNames, ClubNameInBothSlots) {
    TestBlocks b;
    b.fillPattern(4);
    const Bytes club{'B', 'o', 'c', 'a'};
    EXPECT_TRUE(storeClubName(b.view(), 104, club));
    for (std::size_t at : {227324u, 227389u}) {
        SCOPED_TRACE(at);
        EXPECT_EQ(Bytes(b.parameter.begin() + at, b.parameter.begin() + at + 21),
                  (Bytes{'B', 'o', 'c', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    }
    EXPECT_EQ(readClubName(b.view(), 104), club);
    const TestBlocks before = b;
    EXPECT_FALSE(storeClubName(b.view(), 104, Bytes(21, 'x')));
    EXPECT_FALSE(storeClubName(b.view(), 0, Bytes{'a'}));  // national teams have no club name
    EXPECT_TRUE(b == before);
}

TEST(Formations, RoleLabelsAndPresets) {
    struct Case {
        std::uint32_t code;
        std::string_view label;
        std::optional<int> index;
    };
    for (const auto& c : {Case{4, "CB", 0}, Case{34, "RW", 32}, Case{2, "CB_L", 2}, Case{1, "", std::nullopt},
                          Case{35, "", std::nullopt}, Case{260, "", std::nullopt}}) {
        EXPECT_EQ(roleLabel(c.code), c.label) << c.code;
        EXPECT_EQ(roleListIndex(c.code), c.index) << c.code;
    }
    TestBlocks b;
    b.fillPattern(6);
    for (int preset : {1, 21}) {
        SCOPED_TRACE("preset " + std::to_string(preset));
        const std::size_t roles = kPresetRolesOffset + 11 * (preset - 1);
        const std::size_t positions = kPresetPositionsOffset + 20 * (preset - 1);
        const FormationRecord f = presetFormation(b.view(), preset);
        for (std::size_t k = 0; k < 10; ++k) EXPECT_EQ(f[k], b.boot[roles + 1 + k]) << "role " << k;
        for (std::size_t k = 0; k < 20; ++k) EXPECT_EQ(f[10 + k], b.boot[positions + k]) << "coordinate " << k;
    }
    EXPECT_EQ(presetFormation(b.view(), 22), FormationRecord{});
}

}  // namespace
}  // namespace tarvo
