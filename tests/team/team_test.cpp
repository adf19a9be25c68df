// The team's data: the team file, the list of changes in words with its reverts and conflicts,
// the edit history over edits of every kind, and what the team editor shows and finds.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

#include "player/universal_edit.h"
#include "records/player.h"
#include "records/team.h"
#include "store/edit_history.h"
#include "store/file_io.h"
#include "support/test_blocks.h"
#include "team/change_list.h"
#include "team/formation_layout.h"
#include "team/player_search.h"
#include "team/squad_entry.h"
#include "team/team_file.h"
#include "text/sjis.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::TestBlocks;

// Patterned blocks whose squads hold real IDs (the pattern alone would put IDs beyond 2197).
TestBlocks teamBlocks(std::uint32_t seed) {
    TestBlocks b;
    b.fillPattern(seed);
    for (int row = 0; row < kTeamRows; ++row)
        for (int slot = 0; slot < squadSize(row); ++slot)
            storeSquadId(b.view(), row, slot,
                         static_cast<std::uint16_t>(1 + (row * 41 + slot * 7 + seed) % kPlayerCount));
    return b;
}

// Every team of the sample, made into a file and loaded into another copy of the data, has nothing
// to report and gives the same file again (both copies of the players' data: the random-edit
// test); row 105 has no tactics to store over row 0's set pieces.
TEST(TeamFile, EveryTeamOfTheSampleRoundTripsIntoAFreshCopy) {
    TestBlocks sample = test::sampleBlocks(), target = teamBlocks(4);
    for (int row = 0; row < kTeamRows; ++row) {  // (sizes and header: the layout test)
        SCOPED_TRACE("row " + std::to_string(row));
        const Bytes file = buildTeamFile(sample.view(), row);
        const TestBlocks before = target;
        Bytes loaded = file;
        if (row == kDefaultTeamRow) std::fill_n(loaded.begin() + 20 + 2, 5, 0x33);
        const FileImport result = applyTeamFile(target.view(), loaded);
        ASSERT_TRUE(result.stored());
        EXPECT_EQ(result.row, row);
        EXPECT_TRUE(result.values.kept.empty());
        EXPECT_EQ(buildTeamFile(target.view(), row), file);
        if (row == kDefaultTeamRow) {
            EXPECT_TRUE(std::ranges::equal(ByteSpan(target.boot).subspan(2141472, 6),
                                           ByteSpan(before.boot).subspan(2141472, 6)));
        }
        EXPECT_EQ(readClubName(target.view(), row), readClubName(TestBlocks(before).view(), row));
    }
    EXPECT_TRUE(buildTeamFile(teamBlocks(1).view(), 106).empty());
}

TEST(TeamFile, MalformedFilesChangeNothing) {
    const Bytes good = buildTeamFile(test::sampleBlocks().view(), 66);  // a club with a 16-byte name slot
    const std::vector<std::pair<std::string, std::function<void(Bytes&)>>> changes{
        {"empty", [](Bytes& f) { f.clear(); }},
        {"magic only", [](Bytes& f) { f.resize(8); }},
        {"last magic byte", [](Bytes& f) { f[7] = 'B'; }},
        {"row 106", [](Bytes& f) { writeU32LE(f, 8, 106); }},
        {"row far out", [](Bytes& f) { writeU32LE(f, 8, 0xFFFFFFFF); }},
        {"row of another slot length", [](Bytes& f) { writeU32LE(f, 8, 10); }},
        {"L too large", [](Bytes& f) { writeU32LE(f, 12, 0x7FFFFFFF); }},
        {"N differs", [](Bytes& f) { writeU32LE(f, 61 + 16, 23); }},
        {"one byte short", [](Bytes& f) { f.pop_back(); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        Bytes file = good;
        change(file);
        TestBlocks target = teamBlocks(8);
        const TestBlocks before = target;
        EXPECT_FALSE(applyTeamFile(target.view(), file).known);
        EXPECT_TRUE(target == before);
    }
}

// Row 0's file (L 16, N 23): team name at 16, short name at 32, tactics at 36, set pieces at 41
// (captain 46), formation roles at 47, x at 57; squad IDs at 81, shirts at 127, full names at 150,
// back names at 863, call numbers at 1231, records at 1277 (44 bytes a slot; nation is record
// byte 32, hair type bits 6-7 of byte 5 and 0-4 of byte 6, shoot tech bits 2-7 of byte 37 and bit 0
// of byte 38).
TEST(TeamFile, ValuesAreCheckedBeforeAnythingIsStored) {
    const TestBlocks sample = test::sampleBlocks();
    const Bytes good = buildTeamFile(TestBlocks(sample).view(), 0);
    const auto player = [&good](std::size_t slot) {
        // slots are named from 1, as the squad list numbers them
        return "slot " + std::to_string(slot + 1) + " player " + std::to_string(*readU16LE(good, 81 + 2 * slot)) + " ";
    };
    struct Case {
        std::string field, value;
        bool refused;
        std::function<void(Bytes&)> change;
    };
    const std::vector<Case> cases{
        {"team name", "", true, [](Bytes& f) { std::fill_n(f.begin() + 16, 16, 'A'); }},
        {"short name", "", true, [](Bytes& f) { std::fill_n(f.begin() + 32, 4, 'A'); }},
        {"offense", "40", true, [](Bytes& f) { f[36] = 200; }},
        {"defense", "3", true, [](Bytes& f) { f[37] = 15; }},
        {"captain", "11", true, [](Bytes& f) { f[46] = 11; }},
        {"formation role 0", "255", true, [](Bytes& f) { f[47] = 255; }},
        {"slot 1 id", "9999", true, [](Bytes& f) { writeU16LE(f, 81, 9999); }},
        {"slot 23 shirt", "256", true, [](Bytes& f) { f[127 + 22] = 255; }},
        {player(0) + "nation", "255", true, [](Bytes& f) { f[1277 + 32] = 255; }},
        {player(1) + "full name", "", true, [](Bytes& f) { std::fill_n(f.begin() + 150 + 31, 31, 'A'); }},
        {player(4) + "back name", "", true, [](Bytes& f) { std::fill_n(f.begin() + 863 + 64, 16, 'B'); }},
        {player(5) + "hair type", "127", true, [](Bytes& f) { f[1277 + 220 + 5] |= 0xC0, f[1277 + 220 + 6] |= 0x1F; }},
        {player(6) + "call number", "20000", false, [](Bytes& f) { writeU16LE(f, 1231 + 12, 20000); }},
        {"formation x 0", "60", false, [](Bytes& f) { f[57] = 60; }},
        {player(2) + "shoot tech", "127", false, [](Bytes& f) { f[1277 + 88 + 37] |= 0xFC, f[1277 + 88 + 38] |= 1; }},
        {"slot 4 id", "0", false,
         [](Bytes& f) {  // emptied as an export empties it: no player data
             writeU16LE(f, 81 + 6, 0);
             for (const auto& [at, size] : {std::pair{150 + 93, 31}, {863 + 48, 16}, {1231 + 6, 2}, {1277 + 132, 44}})
                 std::fill_n(f.begin() + at, size, 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field + " " + c.value);
        Bytes file = good;
        c.change(file);
        TestBlocks target = sample;
        const FileImport loaded = applyTeamFile(target.view(), file);
        const auto& found = c.refused ? loaded.values.refused : loaded.values.kept;
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].field, c.field);
        if (!c.value.empty()) {
            EXPECT_EQ(found[0].value, c.value);
        }
        EXPECT_EQ(loaded.stored(), !c.refused);
        if (c.refused) {
            EXPECT_TRUE(target == sample);
        } else {
            EXPECT_EQ(buildTeamFile(target.view(), 0), file);
        }
    }
}

// The formation loader needs the magic, L and the 30 formation bytes at 31 + L, nothing more.
TEST(TeamFile, FormationFromAnyTeamFile) {
    TestBlocks source = teamBlocks(23);
    const Bytes file = buildTeamFile(source.view(), 70);  // a club with a 16-byte name slot
    test::TempDir dir;
    MessageLog log;
    const auto withU32 = [&file](std::size_t offset, std::uint32_t value) {
        Bytes f = file;
        writeU32LE(f, offset, value);
        return f;
    };
    Bytes wrongMagic = file;
    wrongMagic[0] = 't';
    const std::vector<std::tuple<std::string, Bytes, bool>> cases{
        {"cut after the formation", Bytes(file.begin(), file.begin() + 31 + 16 + 30), true},
        {"N and the squad damaged", withU32(61 + 16, 99), true},
        {"row out of range", withU32(8, 500), true},
        {"one formation byte short", Bytes(file.begin(), file.begin() + 31 + 16 + 29), false},
        {"L beyond the file", withU32(12, 0xFFFFFFFF), false},
        {"wrong magic", wrongMagic, false},
    };
    for (const auto& [what, bytes, loads] : cases) {
        SCOPED_TRACE(what);
        test::writeFile(dir / "f.dat", bytes);
        const auto formation = readFormationFromTeamFile(dir / "f.dat", log);
        if (loads) {
            EXPECT_EQ(formation, readFormation(source.view(), 70));
        } else {
            EXPECT_EQ(formation, std::nullopt);
            EXPECT_EQ(log.messages.back(), (Message{"unknown format!", kAppName, MessageKind::Warning}));
        }
    }
}

TEST(TeamFile, MessagesOfExportAndImport) {
    test::TempDir dir;
    TestBlocks source = test::sampleBlocks(), target = teamBlocks(10);
    MessageLog log;
    const auto path = dir / "team000.dat", missing = dir / "none" / "team000.dat";
    const auto last = [&] { return log.messages.back(); };
    ASSERT_TRUE(exportTeam(source.view(), 0, dir.path(), log));
    EXPECT_EQ(last(), (Message{"OK, team data saved as \n" + utf8Path(path), kAppName, MessageKind::Information}));
    EXPECT_EQ(importTeam(target.view(), path, log).row, 0);
    EXPECT_EQ(last(), (Message{"data of team 001 load OK.", kAppName, MessageKind::Information}));

    EXPECT_FALSE(exportTeam(source.view(), 0, dir / "none", log));
    EXPECT_EQ(last(), (Message{"Can not create file " + utf8Path(missing) + " !\nthe folder " + utf8Path(dir / "none") +
                                   " does not exist",
                               "error", MessageKind::FileError}));
    EXPECT_FALSE(importTeam(target.view(), missing, log).stored());
    EXPECT_EQ(last(), (Message{"Can not read file " + utf8Path(missing) + " !", "error", MessageKind::FileError}));
    test::writeFile(dir / "bad.dat", Bytes{'T', 'E', 'A', 'M'});
    const TestBlocks before = target;
    EXPECT_FALSE(importTeam(target.view(), dir / "bad.dat", log).known);
    EXPECT_EQ(last(), (Message{"unknown format!", kAppName, MessageKind::Warning}));
    EXPECT_TRUE(target == before);
}

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

// A store holding the sample's blocks, edited through its own views as the windows edit them.
struct HistoryStore {
    HistoryStore() {
        TestBlocks b = test::sampleBlocks();
        EXPECT_TRUE(store.adoptBlocks(std::move(b.boot), std::move(b.parameter), std::move(b.select)));
    }
    TestBlocks now() const {
        const auto copy = [](ByteSpan s) { return Bytes(s.begin(), s.end()); };
        return {copy(store.boot()), copy(store.parameter()), copy(store.select())};
    }
    MessageLog messages;
    DataStore store{messages};
};

// 500 steps of every kind of edit, some made of several edits, with undos and new steps between:
// undone to the start the blocks are the loaded ones byte for byte, redone to the end the edited ones.
TEST(EditHistory, UndoesAndRedoesRandomEditsOfEveryKindExactly) {
    HistoryStore h;
    EditHistory history(h.store);
    const TestBlocks loaded = h.now();
    TestBlocks other = teamBlocks(7);
    std::uint32_t x = 12345;
    const auto next = [&x](std::uint32_t n) {
        x = x * 1664525u + 1013904223u;
        return (x >> 8) % n;
    };
    const auto edit = [&](std::uint32_t kind) {
        const GameBlocks b = h.store.blocks();
        const auto id = 1 + next(kPlayerCount);
        const int row = static_cast<int>(next(kTeamRows)), slot = static_cast<int>(next(23));
        Player p;
        p.load(b, id);
        switch (kind) {
        case 0:
            p.write(static_cast<PlayerFieldId>(next(static_cast<std::uint32_t>(kPlayerFields.size()))), next(100));
            break;
        case 1:
            writePlayerName(b, next(2) ? PlayerName::Full : PlayerName::Back, id, sjis("N" + std::to_string(x % 999)));
            break;
        case 2: writeCallNumber(b, id, static_cast<std::uint16_t>(next(20000))); break;
        case 3: storeSquadId(b, row, slot, static_cast<std::uint16_t>(1 + next(kPlayerCount))); break;
        case 4: storeShirtByte(b, row, slot, static_cast<std::uint8_t>(next(99))); break;
        case 5:
            storeTacticsByte(b, row % 105, static_cast<int>(next(kTacticsCount)), static_cast<std::uint8_t>(next(20)));
            break;
        case 6: {
            FormationRecord f = readFormation(b, row % 105);
            f[next(30)] = static_cast<std::uint8_t>(next(60));
            storeFormation(b, row % 105, f);
            break;
        }
        case 7: storeTeamName(b, row % 105, sjis("T" + std::to_string(x % 99))); break;
        case 8:
            universalEdit(b, p, static_cast<int>(next(kAbilityCount)), UniversalMethod::Add,
                          1 + static_cast<int>(next(5)));
            break;
        case 9: applyTeamFile(b, buildTeamFile(other.view(), row % 105)); break;
        default: revertChanges(loaded.read(), b, listChanges(loaded.read(), readOnly(b))); break;
        }
    };
    for (int step = 0; step < 500; ++step) {
        for (std::uint32_t edits = 1 + (step % 7 == 0 ? 2 : 0); edits > 0; --edits) edit(next(11));
        history.commit("step " + std::to_string(step));
        if (step % 50 == 49 && step < 499) {  // a few steps undone and left behind by the next one
            EXPECT_TRUE(history.undo());
            EXPECT_TRUE(history.undo());
        }
    }
    const TestBlocks edited = h.now();
    const std::size_t steps = history.stepCount();
    std::size_t undone = 0;
    while (history.undo()) ++undone;
    EXPECT_EQ(undone, steps);
    EXPECT_TRUE(test::sameBlocks(h.now().read(), loaded.read()));
    EXPECT_EQ(history.redoLabel(), "step 0");
    while (history.redo()) {}
    EXPECT_TRUE(test::sameBlocks(h.now().read(), edited.read()));
    EXPECT_FALSE(history.commit("nothing"));  // undo and redo leave no step open
}

// The oldest steps go once there are too many, or their bytes pass the limit; undo and redo name
// their steps, and a step records only the ranges it changed.
TEST(EditHistory, KeepsItsBoundsAndNamesItsSteps) {
    HistoryStore h;
    EditHistory byCount(h.store, {3, 1 << 20});
    const GameBlocks b = h.store.blocks();
    for (std::uint8_t v = 1; v <= 5; ++v) {
        b.parameter[100] = v;
        byCount.commit("set " + std::to_string(v));
    }
    EXPECT_EQ(byCount.stepCount(), 3u);
    EXPECT_EQ(byCount.undoLabel(), "set 5");
    while (byCount.undo()) {}
    EXPECT_EQ(b.parameter[100], 2);  // steps 1 and 2 were dropped: the blocks as after step 2
    EXPECT_EQ(byCount.redoLabel(), "set 3");

    // Two bytes 8 apart make one range of 9 bytes (before and after: 18 bytes), 9 apart two ranges.
    EditHistory byBytes(h.store, {1000, 40});
    b.select[10] ^= 1;
    b.select[18] ^= 1;
    EXPECT_TRUE(byBytes.commit("a"));
    EXPECT_EQ(byBytes.byteCount(), 18u + 1u);
    b.select[40] ^= 1;
    b.select[49] ^= 1;
    EXPECT_TRUE(byBytes.commit("b"));
    EXPECT_EQ(byBytes.byteCount(), 19u + 4u + 1u);
    for (std::size_t k = 0; k < 8; ++k) b.boot[30 * k] ^= 1;
    EXPECT_TRUE(byBytes.commit("c"));  // 17 bytes: 41 passes 40, so step a goes
    EXPECT_EQ(byBytes.stepCount(), 2u);
    EXPECT_EQ(byBytes.byteCount(), 5u + 17u);
    // Blocks of another length, loaded without a clear: no step fits them, nothing is written.
    TestBlocks longer = h.now();
    longer.select.push_back(0);
    EXPECT_TRUE(h.store.adoptBlocks(longer.boot, longer.parameter, longer.select));
    EXPECT_FALSE(byBytes.undo());
    EXPECT_TRUE(byBytes.stepCount() == 0 && test::sameBlocks(h.now().read(), longer.read()));
}

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

using namespace formation;

FormationRecord recordWith(int k, int x, int y) {
    FormationRecord record{};
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(0xA0 + i);
    record[10 + k] = static_cast<std::uint8_t>(x);
    record[20 + k] = static_cast<std::uint8_t>(y);
    return record;
}

TEST(FormationLayout, MarkersAndTheirRepaintBoxes) {
    EXPECT_EQ(markerCentre(2, 6), (PixelPoint{48, 20}));
    EXPECT_EQ(markerCentre(47, 99), (PixelPoint{408, 206}));
    // After any move the repainted box holds the whole marker (radius 7, outline included), old and new.
    for (const Move move : {Move::Up, Move::Down, Move::Left, Move::Right}) {
        FormationRecord record = recordWith(4, 20, 50);
        const PixelRect old = markerBox(20, 50);
        ASSERT_TRUE(movePosition(record, 4, move));
        const PixelRect box = moveBox(positionX(record, 4), positionY(record, 4));
        const PixelPoint c = markerCentre(positionX(record, 4), positionY(record, 4));
        EXPECT_TRUE(box.left <= std::min(old.left, c.x - 7) && box.top <= std::min(old.top, c.y - 7));
        EXPECT_TRUE(box.right >= std::max(old.right, c.x + 8) && box.bottom >= std::max(old.bottom, c.y + 8));
    }
}

TEST(FormationLayout, MovesStopAtTheLimits) {
    struct Case {
        int x, y;
        Move move;
        int newX, newY;
    };
    // clang-format off
    const Case cases[] = {
        {47, 50, Move::Right, 47, 50}, {46, 50, Move::Right, 47, 50}, {2, 50, Move::Left, 2, 50},
        {20, 6, Move::Up, 20, 6}, {20, 99, Move::Down, 20, 99}, {20, 98, Move::Down, 20, 99},
        // Stored values outside the limits only move back towards them.
        {20, 3, Move::Up, 20, 3}, {20, 3, Move::Down, 20, 4}, {60, 50, Move::Right, 60, 50},
        {60, 50, Move::Left, 59, 50}, {20, 200, Move::Down, 20, 200},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " move " << static_cast<int>(c.move));
        for (int k : {0, 9}) {
            FormationRecord record = recordWith(k, c.x, c.y);
            FormationRecord expected = recordWith(k, c.newX, c.newY);
            EXPECT_EQ(movePosition(record, k, c.move), c.newX != c.x || c.newY != c.y);
            EXPECT_EQ(record, expected);
        }
    }
    FormationRecord record = recordWith(0, 20, 50);
    EXPECT_FALSE(movePosition(record, 10, Move::Up));
    EXPECT_FALSE(movePosition(record, -1, Move::Up));
    EXPECT_EQ(record, recordWith(0, 20, 50));
}

}  // namespace
}  // namespace tarvo
