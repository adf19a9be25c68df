#include "team/player_search.h"

#include <gtest/gtest.h>

#include "records/player.h"
#include "records/team.h"
#include "support/test_blocks.h"
#include "text/sjis.h"

namespace tarvo {
namespace {

struct Named {
    std::uint32_t id;
    const char* full;
    const char* back;
};

// Latin letters match in any case, kana only as typed, digits alone also as an ID; each match
// lists every team slot holding the player (a national team's 23 slots, a club's 40).
TEST(PlayerSearch, FindsByNamePartOrIdWithTheSlotsHoldingThePlayer) {
    test::TestBlocks b;
    const GameBlocks blocks = b.view();
    for (const Named& p : {Named{7, "Ronaldo Diaz", "DIAZ"}, Named{512, "中村 ブン", "ナカムラ"},
                           Named{1040, "Paul Nakamura", "NAKAMURA"}, Named{2197, "Seven 7", "SEVEN"}}) {
        ASSERT_TRUE(writePlayerName(blocks, PlayerName::Full, p.id, encodeShiftJis(p.full).bytes));
        ASSERT_TRUE(writePlayerName(blocks, PlayerName::Back, p.id, encodeShiftJis(p.back).bytes));
    }
    for (const auto& [row, slot, id] : {std::tuple{3, 0, 512}, {50, 22, 512}, {104, 39, 512}, {70, 5, 7}})
        ASSERT_FALSE(setSquadId(blocks, row, slot, id));

    const struct {
        const char* text;
        std::vector<std::uint32_t> ids;
    } cases[] = {
        {"nakamura", {1040}}, {"NaKaM", {1040}}, {"diaz", {7}}, {"ナカムラ", {512}}, {"なかむら", {}}, {"ブン", {512}},
        {"7", {7, 2197}},     {"512", {512}},    {"", {}},      {"zzz", {}},         {"2198", {}}};
    for (const auto& c : cases) {
        std::vector<std::uint32_t> ids;
        for (const PlayerMatch& m : findPlayers(blocks, c.text)) ids.push_back(m.id);
        EXPECT_EQ(ids, c.ids) << c.text;
    }
    const auto kana = findPlayers(blocks, "中村");
    ASSERT_EQ(kana.size(), 1u);
    EXPECT_EQ(kana[0].fullName, "中村 ブン");
    EXPECT_EQ(kana[0].backName, "ナカムラ");
    EXPECT_EQ(kana[0].places, (std::vector<SquadPlace>{{3, 0}, {50, 22}, {104, 39}}));
    EXPECT_EQ(findPlayers(blocks, "diaz")[0].places, (std::vector<SquadPlace>{{70, 5}}));
}

}  // namespace
}  // namespace tarvo
