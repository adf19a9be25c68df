// The list of changes in words: every edit listed by the name of its value, the bytes no value
// covers, reverts of some rows, values by name and conflicts with what another program wrote.

#include <gtest/gtest.h>

#include "edits/change_list.h"
#include "player/universal_edit.h"
#include "records/player.h"
#include "records/team.h"
#include "store/team_table.h"
#include "support/test_blocks.h"
#include "text/sjis.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::TestBlocks;

void putU16(Bytes& block, std::size_t offset, std::uint16_t value) {
    block[offset] = static_cast<std::uint8_t>(value);
    block[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

Bytes sjis(const std::string& text) { return encodeShiftJis(text).bytes; }

// The sample disc with known values in the places the edits change (the base), and a copy edited
// the way the windows and a careless tool would: through the records, and at raw offsets of the
// game's data layout.
struct Edited {
    TestBlocks base, now;

    Edited() {
        base = test::sampleBlocks();
        const GameBlocks b = base.view();
        Player p;
        for (std::uint32_t id = 1; id <= 2197; ++id) {
            p.load(b, id);
            p.write(PlayerFieldId::Stamina, 50);
        }
        p.load(b, 123);
        p.write(PlayerFieldId::Speed, 72);
        EXPECT_TRUE(writePlayerName(b, PlayerName::Full, 7, sjis("ALPHA")));
        EXPECT_TRUE(writePlayerName(b, PlayerName::Back, 7, sjis("RIVAZ")));
        writeCallNumber(b, 2197, 11085);
        EXPECT_FALSE(setSquadId(b, 43, 3, 512));
        storeShirt(b, 70, 23, 5);
        FormationRecord formation = readFormation(b, 9);
        formation[0] = 4;
        formation[12] = 30;
        storeFormation(b, 9, formation);
        EXPECT_TRUE(storeTeamName(b, 44, sjis("PERU")));
        EXPECT_TRUE(storeClubName(b, 65, sjis("CELTIC")));
        storeTactics(b, 0, 0, 10);

        now = base;
        const GameBlocks n = now.view();
        p.load(n, 123);
        p.write(PlayerFieldId::Speed, 80);
        EXPECT_TRUE(writePlayerName(n, PlayerName::Full, 7, sjis("BETA")));
        EXPECT_TRUE(writePlayerName(n, PlayerName::Back, 7, sjis("リバス")));
        writeCallNumber(n, 2197, 12000);
        putU16(now.parameter, 214624 + 46 * 43 + 2 * 3, 1040);  // national squad of row 43, slot 4
        putU16(now.boot, 2146864 + 80 * 43 + 2 * 3, 1040);      // and its second copy
        now.parameter[212864 + 40 * (70 - 65) + 23] = 98;       // club shirt, shown 99
        formation[0] = 30;
        storeFormation(n, 9, formation);
        now.boot[2495312 + 30 * 9 + 12] = 35;  // formation of row 9, x of position 2
        EXPECT_TRUE(storeTeamName(n, 44, sjis("INCA")));
        EXPECT_TRUE(storeClubName(n, 65, sjis("BHOYS")));
        storeTactics(n, 0, 0, 19);
        universalEdit(n, p, 3, UniversalMethod::Add, 5);  // ability 3 is "stamina"
        // Bytes no value covers: the parameter data's first byte, unused bits of player 9's record
        // (byte 41), and the second copy of player 5's record alone.
        now.parameter[0] ^= 0xFF;
        now.parameter[112188 + 44 * 8 + 41] ^= 0x01;
        now.boot[2041052 + 44 * 4 + 10] ^= 0x80;
    }
};

std::vector<std::string> described(const std::vector<Change>& changes) {
    std::vector<std::string> lines;
    for (const Change& c : changes) lines.push_back(describeChange(c));
    return lines;
}

std::vector<std::string> expectedLines() {
    std::map<int, std::vector<std::string>> byPlayer{
        {7, {"player 7 full name: \"ALPHA\" -> \"BETA\"", "player 7 back name: \"RIVAZ\" -> \"リバス\""}},
        {123, {"player 123 speed: 72 -> 80"}},
        {2197, {"player 2197 call number: 11085 -> 12000"}},
    };
    std::vector<std::string> lines;
    for (int id = 1; id <= 2197; ++id) {
        auto& own = byPlayer[id];
        // Names and call number come first, then the record's fields in table order (by position).
        auto at = std::ranges::find_if(own, [](const std::string& l) { return l.find("call number") != l.npos; });
        own.insert(at == own.end() ? own.end() : at + 1, "player " + std::to_string(id) + " stamina: 50 -> 55");
        lines.insert(lines.end(), own.begin(), own.end());
    }
    for (const char* line :
         {"team 1.Ireland offense: 10 -> 19", "team 10.Netherlands formation role 0: 4 -> 30",
          "team 10.Netherlands formation x 2: 30 -> 35", "team 44.Brazil slot 4 id: 512 -> 1040",
          "team 45.Peru team name: \"PERU\" -> \"INCA\"", "team 66.Celtic club name: \"CELTIC\" -> \"BHOYS\"",
          "team 71.Liverpool slot 24 shirt: 5 -> 99", "1 other byte of the boot-file data differs",
          "2 other bytes of the parameter data differ"})
        lines.emplace_back(line);
    return lines;
}

TEST(ChangeList, ListsEveryEditInWordsAndTheBytesNoValueCovers) {
    const Edited e;
    const auto changes = listChanges(e.base.read(), e.now.read());
    const auto lines = described(changes);
    const auto expected = expectedLines();
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i;
    EXPECT_TRUE(listChanges(e.base.read(), e.base.read()).empty());

    // The universal edit is one group; everything else stands alone, in the list's order.
    const auto groups = groupChanges(changes);
    ASSERT_EQ(groups.size(), 5u + 9u);
    const std::vector<std::string> titles{"stamina: 2197 players", "player 7 full name: \"ALPHA\" -> \"BETA\"",
                                          "player 7 back name: \"RIVAZ\" -> \"リバス\"", "player 123 speed: 72 -> 80",
                                          "player 2197 call number: 11085 -> 12000"};
    for (std::size_t i = 0; i < titles.size(); ++i) EXPECT_EQ(groups[i].title, titles[i]);
    EXPECT_EQ(groups[0].members.size(), 2197u);
    EXPECT_EQ(groups.back().title, "2 other bytes of the parameter data differ");
}

// Reverting rows puts back exactly their bytes, both copies, and leaves every other row listed.
TEST(ChangeList, RevertOfRowsLeavesTheOthers) {
    const Edited e;
    const auto changes = listChanges(e.base.read(), e.now.read());
    const auto lines = described(changes);
    // A byte left changed, in either copy, would be listed: as a value, or as an "other byte".
    const std::vector<std::vector<std::string>> cases{
        {"team 44.Brazil slot 4 id: 512 -> 1040"},
        {"player 7 full name: \"ALPHA\" -> \"BETA\""},
        {"player 7 back name: \"RIVAZ\" -> \"リバス\""},
        {"player 2197 call number: 11085 -> 12000"},
        {"team 10.Netherlands formation x 2: 30 -> 35"},
        {"team 66.Celtic club name: \"CELTIC\" -> \"BHOYS\""},
        {"team 71.Liverpool slot 24 shirt: 5 -> 99"},
        {"team 1.Ireland offense: 10 -> 19"},
        {"1 other byte of the boot-file data differs"},
        {"2 other bytes of the parameter data differ"},
        {"player 123 speed: 72 -> 80", "team 45.Peru team name: \"PERU\" -> \"INCA\""},
    };
    for (const auto& revert : cases) {
        SCOPED_TRACE(revert.front());
        TestBlocks now = e.now;
        std::vector<Change> picked;
        for (const std::string& line : revert) {
            const auto at = std::ranges::find(lines, line);
            ASSERT_NE(at, lines.end());
            picked.push_back(changes[static_cast<std::size_t>(at - lines.begin())]);
        }
        revertChanges(e.base.read(), now.view(), picked);
        std::vector<std::string> left = lines;
        std::erase_if(left, [&](const std::string& l) { return std::ranges::find(revert, l) != revert.end(); });
        EXPECT_EQ(described(listChanges(e.base.read(), now.read())), left);
    }
    // The stamina group reverts as a whole; reverting everything gives back the base byte for byte.
    TestBlocks now = e.now;
    revertChanges(e.base.read(), now.view(), changes);
    EXPECT_TRUE(now == e.base);
}

// TestBlocks of different lengths (two sources): the bytes beyond the shorter block count as differing.
TEST(ChangeList, LongerBlockCountsItsExtraBytes) {
    const Edited e;
    TestBlocks longer = e.base;
    longer.select.resize(longer.select.size() + 3, 0);
    EXPECT_EQ(described(listChanges(e.base.read(), longer.read())),
              std::vector<std::string>{"3 other bytes of the select data differ"});
}

TEST(ChangeList, ValuesByName) {
    struct Case {
        ChangeKind kind;
        int number;
        std::string field;
        bool exists;
    };
    // clang-format off
    const std::vector<Case> cases{
        {ChangeKind::Player, 1, "speed", true}, {ChangeKind::Player, 2197, "full name", true},
        {ChangeKind::Player, 5, "call number", true}, {ChangeKind::Player, 0, "speed", false},
        {ChangeKind::Player, 2198, "speed", false}, {ChangeKind::Player, 5, "speeed", false},
        {ChangeKind::Team, 43, "slot 23 id", true},  // national teams have 23 slots, named from 1
        {ChangeKind::Team, 43, "slot 24 id", false}, {ChangeKind::Team, 43, "slot 0 id", false},
        {ChangeKind::Team, 105, "slot 40 shirt", true},  // clubs and the default row 40
        {ChangeKind::Team, 65, "slot 41 shirt", false}, {ChangeKind::Team, 65, "slot 01 shirt", false},
        {ChangeKind::Team, 65, "slot -1 shirt", false}, {ChangeKind::Team, 65, "slot 3", false},
        {ChangeKind::Team, 65, "slot 3 team name", false}, {ChangeKind::Team, 65, "shirt", false},
        {ChangeKind::Team, 9, "formation x 9", true}, {ChangeKind::Team, 9, "formation role 0", true},
        {ChangeKind::Team, 9, "formation y 10", false}, {ChangeKind::Team, 9, "formation z 1", false},
        {ChangeKind::Team, 9, "formation", false},
        {ChangeKind::Team, 0, "club name", false},  // only clubs, rows 65 to 104
        {ChangeKind::Team, 65, "club name", true}, {ChangeKind::Team, 104, "club name", true},
        {ChangeKind::Team, 105, "club name", false},
        {ChangeKind::Team, 105, "offense", false},  // the default row has no tactics
        {ChangeKind::Team, 104, "technique", true}, {ChangeKind::Team, 105, "captain", true},
        {ChangeKind::Team, 106, "captain", false}, {ChangeKind::Team, -1, "captain", false},
        {ChangeKind::Other, 1, "parameter data", false},
    };
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(valueNamed(c.kind, c.number, c.field).has_value(), c.exists) << c.field;

    // Each value reads from its own bytes: a squad slot's ID, a shirt, a formation byte, a name.
    Edited e;
    const auto shown = [&](ChangeKind kind, int number, const char* field) {
        return valueText(e.now.view(), *valueNamed(kind, number, field));
    };
    EXPECT_EQ(shown(ChangeKind::Team, 43, "slot 4 id"), "1040");
    EXPECT_EQ(shown(ChangeKind::Team, 70, "slot 24 shirt"), "99");
    EXPECT_EQ(shown(ChangeKind::Team, 9, "formation x 2"), "35");
    EXPECT_EQ(shown(ChangeKind::Team, 9, "formation role 0"), "30");
    EXPECT_EQ(shown(ChangeKind::Team, 44, "team name"), "INCA");
    EXPECT_EQ(shown(ChangeKind::Player, 7, "back name"), "リバス");
    EXPECT_EQ(shown(ChangeKind::Player, 123, "speed"), "80");
}

TEST(ChangeList, FormationValuesKeepTheFormationEditorsLimits) {
    struct Case {
        int byte;
        std::int64_t value;
        bool allowed;
    };
    const std::vector<Case> cases{
        {0, 4, true},   {9, 34, true},  {3, 2, true},   {0, 1, false},    {0, 35, false},
        {0, -1, false}, {10, 2, true},  {19, 47, true}, {10, 1, false},   {15, 48, false},
        {20, 6, true},  {29, 99, true}, {20, 5, false}, {25, 100, false}, {0, 256 + 4, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(!formationValueRefusal(c.byte, c.value), c.allowed) << c.byte << " = " << c.value;
    EXPECT_EQ(formationValueRefusal(12, 48).value_or(""), "formation x should be 2 to 47");
}

// What another program wrote meanwhile and what the user changed: only a value both changed to
// different values is a conflict; the same value, or values of different fields, are none.
TEST(ChangeList, ConflictsAreTheValuesBothSidesChangedDifferently) {
    TestBlocks base = test::sampleBlocks(), theirs, mine;
    Player p;
    const auto set = [&p](TestBlocks& blocks, std::uint32_t id, PlayerFieldId field, std::uint32_t value) {
        p.load(blocks.view(), id);
        p.write(field, value);
    };
    set(base, 12, PlayerFieldId::Speed, 50);
    set(base, 13, PlayerFieldId::Speed, 50);
    theirs = mine = base;
    set(theirs, 12, PlayerFieldId::Speed, 70);
    set(mine, 12, PlayerFieldId::Speed, 80);
    set(theirs, 13, PlayerFieldId::Speed, 60);
    set(mine, 13, PlayerFieldId::Speed, 60);
    set(theirs, 14, PlayerFieldId::Stamina, 3);
    set(mine, 14, PlayerFieldId::Speed, 4);
    EXPECT_TRUE(writePlayerName(theirs.view(), PlayerName::Full, 15, sjis("THEIRS")));
    EXPECT_TRUE(writePlayerName(mine.view(), PlayerName::Full, 15, sjis("MINE")));
    std::vector<std::string> lines;
    for (const Conflict& conflict : listConflicts(base.read(), theirs.read(), mine.read()))
        lines.push_back(describeConflict(conflict));
    EXPECT_EQ(lines, (std::vector<std::string>{"player 12 speed: 70 on disk, 80 kept",
                                               "player 15 full name: \"THEIRS\" on disk, \"MINE\" kept"}));
}

}  // namespace
}  // namespace tarvo
