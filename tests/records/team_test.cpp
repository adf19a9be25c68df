// Team fields: the squad-slot rule, the rows whose entries are missing (row 105), and the
// formations' roles.

#include <gtest/gtest.h>

#include "records/formation.h"
#include "records/team.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::TestBlocks;

TEST(TeamSquad, SlotRule) {
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
        const TestBlocks before = b;
        const auto refused = setSquadId(b.view(), row, slot, id);
        EXPECT_EQ(refused.has_value(), refusal.has_value());
        if (refusal && !refusal->empty()) {
            EXPECT_EQ(refused, *refusal);
        }
        // (Where an ID and its copy are stored: the layout test.)
        EXPECT_TRUE(refusal ? b == before : readSquadId(b.view(), row, slot) == id);
    }
}

// Row 105 has no tactics: storing them must not reach row 0's set pieces. (Where tactics and both
// club name slots lie: the layout test.)
TEST(TeamValues, TacticsAndClubNames) {
    TestBlocks b;
    b.fillPattern(2);
    const TestBlocks expected = b;
    for (int k = 0; k < kTacticsCount; ++k) {
        storeTactics(b.view(), 105, k, 10);
        storeTacticsByte(b.view(), 105, k, 1);
        EXPECT_EQ(readTactics(b.view(), 105, k), 0);
    }
    EXPECT_FALSE(storeClubName(b.view(), 104, Bytes(21, 'x')));  // no room for the NUL
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
    b.fillPattern(6);  // (where the 21 presets lie: the layout test)
    EXPECT_EQ(presetFormation(b.view(), 22), FormationRecord{});
}

}  // namespace
}  // namespace tarvo
