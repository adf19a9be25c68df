// The team file: sizes and header, every team of the sample carried into a fresh copy of the data,
// files that cannot come from an export and values the game could not read (refused, nothing
// changed), values outside the editor's range (kept) and the messages.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

#include "records/player.h"
#include "records/team.h"
#include "store/file_io.h"
#include "support/test_blocks.h"
#include "team/team_file.h"

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

bool same(const Bytes& a, std::size_t at, const Bytes& b, std::size_t bt, std::size_t n) {
    return std::ranges::equal(ByteSpan(a).subspan(at, n), ByteSpan(b).subspan(bt, n));
}

// Every team of the sample, made into a file and loaded into another copy of the data, has nothing
// to report and gives the same file again (both copies of the players' data: the random-edit
// test); row 105 has no tactics to store over row 0's set pieces.
TEST(TeamFile, EveryTeamOfTheSampleRoundTripsIntoAFreshCopy) {
    TestBlocks sample = test::sampleBlocks(), target = teamBlocks(4);
    const std::map<int, std::size_t> sizes{
        {0, 2289}, {64, 2273 + 32}, {65, 3905 + 8}, {104, 3905 + 16}, {105, 3905 + 2}};
    for (int row = 0; row < kTeamRows; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const Bytes file = buildTeamFile(sample.view(), row);
        if (sizes.contains(row)) {
            ASSERT_EQ(file.size(), sizes.at(row));
        }
        EXPECT_EQ(test::hex(ByteSpan(file).first(12)),
                  test::hex(Bytes{'T', 'E', 'A', 'M', 'D', 'A', 'T', 'A', static_cast<std::uint8_t>(row), 0, 0, 0}));
        const TestBlocks before = target;
        Bytes loaded = file;
        if (row == kDefaultTeamRow) std::fill_n(loaded.begin() + 20 + 2, 5, 0x33);
        const FileImport result = applyTeamFile(target.view(), loaded);
        ASSERT_TRUE(result.stored());
        EXPECT_EQ(result.row, row);
        EXPECT_TRUE(result.values.kept.empty());
        EXPECT_EQ(buildTeamFile(target.view(), row), file);
        if (row == kDefaultTeamRow) {
            EXPECT_TRUE(same(target.boot, kSetPiecesOffset, before.boot, kSetPiecesOffset, 6));
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
        return "slot " + std::to_string(slot) + " player " + std::to_string(*readU16LE(good, 81 + 2 * slot)) + " ";
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
        {"slot 0 id", "9999", true, [](Bytes& f) { writeU16LE(f, 81, 9999); }},
        {"slot 22 shirt", "256", true, [](Bytes& f) { f[127 + 22] = 255; }},
        {player(0) + "nation", "255", true, [](Bytes& f) { f[1277 + 32] = 255; }},
        {player(1) + "full name", "", true, [](Bytes& f) { std::fill_n(f.begin() + 150 + 31, 31, 'A'); }},
        {player(4) + "back name", "", true, [](Bytes& f) { std::fill_n(f.begin() + 863 + 64, 16, 'B'); }},
        {player(5) + "hair type", "127", true, [](Bytes& f) { f[1277 + 220 + 5] |= 0xC0, f[1277 + 220 + 6] |= 0x1F; }},
        {player(6) + "call number", "20000", false, [](Bytes& f) { writeU16LE(f, 1231 + 12, 20000); }},
        {"formation x 0", "60", false, [](Bytes& f) { f[57] = 60; }},
        {player(2) + "shoot tech", "127", false, [](Bytes& f) { f[1277 + 88 + 37] |= 0xFC, f[1277 + 88 + 38] |= 1; }},
        {"slot 3 id", "0", false,
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

}  // namespace
}  // namespace tarvo
