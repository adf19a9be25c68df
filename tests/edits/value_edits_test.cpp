// The checks of assignments to a player or a team row, whichever front end they come from: all
// are checked before any is stored, the first refused one is named, and a face is checked against
// the skin the player will have, wherever the skin stands among the assignments.

#include "edits/value_edits.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "edits/change_list.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

std::vector<std::string> changesOf(const test::TestBlocks& before, const test::TestBlocks& after) {
    std::vector<std::string> lines;
    for (const Change& change : listChanges(before.read(), after.read())) lines.push_back(describeChange(change));
    return lines;
}

TEST(ValueEdits, PlayerAssignmentsAreCheckedTogetherSkinFirst) {
    const test::TestBlocks sample = test::sampleBlocks();
    test::TestBlocks blocks = sample;
    // Faces go up to 125 for skin 0 and to 26 for skin 3 (faces 1 to 125, 106, 32, 26 by skin).
    const std::vector<Assignment> refused{{"skin", "0"}, {"face", "100"}, {"speed", "99"}, {"skin", "3"}};
    const CheckedChanges late = checkPlayerChanges(blocks.view(), 12, refused);
    ASSERT_TRUE(late.refusedAt);
    EXPECT_EQ(*late.refusedAt, 1u);
    EXPECT_EQ(late.refusal, "\"face\" = 100 is outside what the editor allows (1 to 26 for skin 3)");
    EXPECT_FALSE(late.store);

    const std::vector<Assignment> good{{"face", "26"}, {"speed", "99"}, {"skin", "3"}, {"full name", "Rivaz"}};
    const CheckedChanges checked = checkPlayerChanges(blocks.view(), 12, good);
    ASSERT_FALSE(checked.refusedAt) << checked.refusal;
    EXPECT_EQ(blocks.boot, sample.boot);  // nothing is stored before `store`
    EXPECT_EQ(blocks.parameter, sample.parameter);
    checked.store(blocks.view());
    const auto lines = changesOf(sample, blocks);
    for (const char* expected : {"player 12 face:", "player 12 speed:", "player 12 skin:", "player 12 full name:"})
        EXPECT_EQ(std::ranges::count_if(lines, [&](const std::string& l) { return l.starts_with(expected); }), 1)
            << expected;
    EXPECT_EQ(lines.size(), 4u);

    struct Case {
        Assignment assignment;
        std::string refusal;
    } cases[] = {{{"speed", "100"}, "\"speed\" = 100 is outside what the editor allows (1 to 99)"},
                 {{"speeed", "50"}, "unknown player value \"speeed\""},
                 {{"call number", "11577"}, "call number should be "},  // 11578 to 15833, or none
                 {{"back name", std::string("A\0B", 3)}, "back name: a name cannot hold a NUL character"}};
    for (const Case& c : cases) {
        const std::vector<Assignment> one{{"speed", "50"}, c.assignment};
        const CheckedChanges result = checkPlayerChanges(blocks.view(), 1, one);
        ASSERT_TRUE(result.refusedAt) << c.assignment.name;
        EXPECT_EQ(*result.refusedAt, 1u);
        EXPECT_TRUE(result.refusal.starts_with(c.refusal)) << result.refusal;
    }
}

TEST(ValueEdits, TeamAssignmentsNameTheirSlotsFrom1) {
    const test::TestBlocks sample = test::sampleBlocks();
    test::TestBlocks blocks = sample;
    // A national row (43) has slots 1 to 23, a club (70) 1 to 40; club names are the clubs' only.
    const std::vector<Assignment> good{{"slot 23 id", "1040"}, {"offense", "15"}};
    const CheckedChanges checked = checkTeamChanges(43, good);
    ASSERT_FALSE(checked.refusedAt) << checked.refusal;
    checked.store(blocks.view());
    const auto lines = changesOf(sample, blocks);
    ASSERT_EQ(lines.size(), 2u);
    for (const char* value : {" offense: ", " slot 23 id: "})
        EXPECT_EQ(std::ranges::count_if(lines, [&](const std::string& l) { return l.find(value) != l.npos; }), 1);

    for (const auto& [row, assignment] : {std::pair{43, Assignment{"slot 24 id", "5"}},
                                          {43, Assignment{"club name", "X"}},
                                          {70, Assignment{"slot 41 shirt", "5"}},
                                          {70, Assignment{"formation x 2", "30"}},
                                          {70, Assignment{"slot 2 id", "2198"}}}) {
        const std::vector<Assignment> list{{"offense", "15"}, assignment};
        const CheckedChanges result = checkTeamChanges(row, list);
        ASSERT_TRUE(result.refusedAt) << assignment.name;
        EXPECT_EQ(*result.refusedAt, 1u) << assignment.name;
    }
}

}  // namespace
}  // namespace tarvo
