// The team file: sizes and header, a round trip into a fresh copy of the data, files that cannot
// come from an export (refused, nothing changed) and the messages.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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

// A file made from one copy of the data and loaded into another gives the same file again (both
// copies of the players' data: the random-edit test); row 105 has no tactics to store over row 0's
// set pieces.
TEST(TeamFile, SizesAndRoundTripIntoAFreshCopy) {
    for (auto [row, size] : {std::pair{0, 2289}, {64, 2273 + 32}, {65, 3905 + 8}, {104, 3905 + 16}, {105, 3905 + 2}}) {
        SCOPED_TRACE("row " + std::to_string(row));
        TestBlocks source = teamBlocks(3);
        storeSquadId(source.view(), row, squadSize(row) - 1, 2197);  // the last player ID is a player
        const Bytes file = buildTeamFile(source.view(), row);
        ASSERT_EQ(file.size(), static_cast<std::size_t>(size));
        EXPECT_EQ(test::hex(ByteSpan(file).first(12)),
                  test::hex(Bytes{'T', 'E', 'A', 'M', 'D', 'A', 'T', 'A', static_cast<std::uint8_t>(row), 0, 0, 0}));
        TestBlocks target = teamBlocks(4);
        const TestBlocks before = target;
        Bytes loaded = file;
        if (row == kDefaultTeamRow) std::fill_n(loaded.begin() + 20 + 2, 5, 0x33);
        ASSERT_EQ(applyTeamFile(target.view(), loaded), row);
        EXPECT_EQ(buildTeamFile(target.view(), row), file);
        if (row == kDefaultTeamRow) {
            EXPECT_TRUE(same(target.boot, kSetPiecesOffset, before.boot, kSetPiecesOffset, 6));
        }
        EXPECT_EQ(readClubName(target.view(), row), readClubName(TestBlocks(before).view(), row));
    }
    EXPECT_TRUE(buildTeamFile(teamBlocks(1).view(), 106).empty());
}

TEST(TeamFile, MalformedFilesChangeNothing) {
    const Bytes good = buildTeamFile(teamBlocks(7).view(), 66);  // a club with a 16-byte name slot
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
        EXPECT_EQ(applyTeamFile(target.view(), file), std::nullopt);
        EXPECT_TRUE(target == before);
    }
}

// A squad slot holding a damaged ID above the last player exports with zero player data; the file
// loads back: the ID is stored as it was, no player data is stored for that slot (it would land
// outside the player tables), and everything else is as exported. The same file gives its formation.
TEST(TeamFile, DamagedSquadIdRoundTrip) {
    for (const auto& [row, slot, nameLength] : {std::tuple{0, 5, 16}, {66, 39, 16}, {105, 0, 2}}) {
        SCOPED_TRACE("row " + std::to_string(row));
        TestBlocks source = teamBlocks(21);
        storeSquadId(source.view(), row, slot, 4000);
        const Bytes file = buildTeamFile(source.view(), row);
        const std::size_t n = row < 65 ? 23 : 40, perPlayerAt = 65 + nameLength + 3 * n;
        ASSERT_EQ(readU16LE(file, 65 + nameLength + 2 * slot), 4000);
        for (const auto& [entryAt, size] : {std::pair{perPlayerAt, 31u},
                                            {perPlayerAt + 31 * n, 16u},
                                            {perPlayerAt + 47 * n, 2u},
                                            {perPlayerAt + 49 * n, 44u}})
            EXPECT_TRUE(std::ranges::all_of(ByteSpan(file).subspan(entryAt + size * slot, size),
                                            [](std::uint8_t b) { return b == 0; }));

        TestBlocks target = teamBlocks(22);
        TestBlocks withoutSlot = target;
        ASSERT_EQ(applyTeamFile(target.view(), file), row);
        EXPECT_EQ(readSquadId(target.view(), row, slot), 4000);
        EXPECT_EQ(buildTeamFile(target.view(), row), file);
        // The same file with the slot empty, then the damaged ID put back by hand: nothing else differs.
        Bytes emptied = file;
        writeU16LE(emptied, 65 + nameLength + 2 * slot, 0);
        ASSERT_EQ(applyTeamFile(withoutSlot.view(), emptied), row);
        storeSquadId(withoutSlot.view(), row, slot, 4000);
        EXPECT_TRUE(target == withoutSlot);

        test::TempDir dir;
        test::writeFile(dir / "damaged.dat", file);
        MessageLog log;
        EXPECT_EQ(readFormationFromTeamFile(dir / "damaged.dat", log), readFormation(source.view(), row));
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
    TestBlocks source = teamBlocks(9), target = teamBlocks(10);
    MessageLog log;
    const auto path = dir / "team000.dat", missing = dir / "none" / "team000.dat";
    const auto last = [&] { return log.messages.back(); };
    ASSERT_TRUE(exportTeam(source.view(), 0, dir.path(), log));
    EXPECT_EQ(last(), (Message{"OK, team data saved as \n" + utf8Path(path), kAppName, MessageKind::Information}));
    EXPECT_EQ(importTeam(target.view(), path, log), 0);
    EXPECT_EQ(last(), (Message{"data of team 001 load OK.", kAppName, MessageKind::Information}));

    EXPECT_FALSE(exportTeam(source.view(), 0, dir / "none", log));
    EXPECT_EQ(last(), (Message{"Can not create file " + utf8Path(missing) + " !\nthe folder " + utf8Path(dir / "none") +
                                   " does not exist",
                               "error", MessageKind::FileError}));
    EXPECT_EQ(importTeam(target.view(), missing, log), std::nullopt);
    EXPECT_EQ(last(), (Message{"Can not read file " + utf8Path(missing) + " !", "error", MessageKind::FileError}));
    test::writeFile(dir / "bad.dat", Bytes{'T', 'E', 'A', 'M'});
    const TestBlocks before = target;
    EXPECT_EQ(importTeam(target.view(), dir / "bad.dat", log), std::nullopt);
    EXPECT_EQ(last(), (Message{"unknown format!", kAppName, MessageKind::Warning}));
    EXPECT_TRUE(target == before);
}

}  // namespace
}  // namespace tarvo
