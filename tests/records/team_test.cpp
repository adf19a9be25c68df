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
    const std::string from1 = "ID should be 1--2197", from0 = "ID should be 0--2197";
    const std::vector<std::tuple<int, int, std::int64_t, std::optional<std::string>>> cases{
        {0, 0, 1, {}},   {64, 22, 2197, {}},     {3, 5, 0, from1},           {3, 5, 2198, from1}, {65, 22, 0, from1},
        {65, 23, 0, {}}, {104, 30, 2198, from0}, {105, 0, 65536 + 5, from1},  // would wrap to 5 in 16 bits
        {0, 23, 5, ""},                                                       // national teams have 23 slots
    };
    for (const auto& [row, slot, id, refusal] : cases) {
        SCOPED_TRACE("row " + std::to_string(row) + " slot " + std::to_string(slot) + " id " + std::to_string(id));
        TestBlocks b;
        b.fillPattern(11);
        TestBlocks expected = b;
        const auto refused = setSquadId(b.view(), row, slot, id);
        EXPECT_EQ(refused.has_value(), refusal.has_value());
        if (refusal && !refusal->empty()) {
            EXPECT_EQ(refused, *refusal);
        }
        if (!refusal) {
            // A club's ID is stored once; a national team's also in its 80-byte copy entry.
            const auto stored = static_cast<std::uint16_t>(id);
            if (row < kNationalRows) {
                writeU16LE(expected.parameter, kNationalSquadOffset + 46 * row + 2 * slot, stored);
                writeU16LE(expected.boot, kNationalSquadCopyOffset + 80 * row + 2 * slot, stored);
            } else {
                writeU16LE(expected.parameter, kClubSquadOffset + 80 * (row - 65) + 2 * slot, stored);
            }
        }
        EXPECT_TRUE(b == expected);
    }
}

// Tactics are shown as the byte div 5 and stored as 5 times that; row 105 has none, and storing
// them must not reach row 0's set pieces. A club's name has two slots.
TEST(TeamValues, TacticsAndClubNames) {
    TestBlocks b;
    storeTactics(b.view(), 7, 2, 14);  // (shown as the byte div 5: the squad entry's tests)
    EXPECT_EQ(b.boot[kTacticsOffset + 5 * 7 + 2], 70);

    b.fillPattern(2);
    TestBlocks expected = b;
    for (int k = 0; k < kTacticsCount; ++k) {
        storeTactics(b.view(), 105, k, 10);
        storeTacticsByte(b.view(), 105, k, 1);
        EXPECT_EQ(readTactics(b.view(), 105, k), 0);
    }
    EXPECT_FALSE(storeClubName(b.view(), 104, Bytes(21, 'x')));
    EXPECT_FALSE(storeClubName(b.view(), 0, Bytes{'a'}));  // national teams have no club name
    EXPECT_TRUE(b == expected);
    EXPECT_TRUE(storeClubName(b.view(), 104, Bytes{'B', 'o', 'c', 'a'}));
    for (std::size_t at : {227324u, 227389u}) {
        std::fill_n(expected.parameter.begin() + static_cast<long>(at), 21, 0);
        std::ranges::copy(std::string_view("Boca"), expected.parameter.begin() + static_cast<long>(at));
    }
    EXPECT_TRUE(b == expected);
}

TEST(Formations, RoleLabelsAndPresets) {
    struct Case {
        std::uint32_t code;
        std::string_view label;
        std::optional<int> index;
    };
    for (const auto& c : {Case{4, "CB", 0}, Case{34, "RW", 32}, Case{2, "CB_L", 2}, Case{35, "", std::nullopt}}) {
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
