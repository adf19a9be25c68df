// The team file: exact sizes and offsets, a round trip into a fresh copy of the data, the row-105
// file, files that cannot come from an export (refused, nothing changed) and the messages.

#include <gtest/gtest.h>

#include <algorithm>

#include "records/player.h"
#include "records/team.h"
#include "store/team_table.h"
#include "support/sample.h"
#include "support/test_blocks.h"
#include "team/team_file.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::hexOf;
using test::TestBlocks;

// Blocks whose squads hold real IDs: the pattern would put IDs beyond 2197 into the squads.
TestBlocks teamBlocks(std::uint32_t seed) {
    TestBlocks b;
    b.fillPattern(seed);
    auto blocks = b.view();
    for (int row = 0; row < kTeamRows; ++row)
        for (int slot = 0; slot < squadSize(row); ++slot)
            storeSquadId(blocks, row, slot,
                         static_cast<std::uint16_t>(1 + (row * 41 + slot * 7 + seed) % kPlayerCount));
    return b;
}

TEST(TeamFileFormat, SizesAndNames) {
    TestBlocks b = teamBlocks(1);
    struct Case {
        int row;
        std::size_t size;
    };
    for (auto c : {Case{0, 2289}, Case{10, 2273 + 8}, Case{58, 2273 + 32}, Case{64, 2273 + 32},
                   Case{65, 3905 + 8}, Case{72, 3905 + 24}, Case{105, 3905 + 2}}) {
        EXPECT_EQ(buildTeamFile(b.view(), c.row).size(), c.size) << "row " << c.row;
    }
    EXPECT_TRUE(buildTeamFile(b.view(), 106).empty());
    EXPECT_TRUE(buildTeamFile(b.view(), -1).empty());
    EXPECT_EQ(teamFileName(0), "team000.dat");
    EXPECT_EQ(teamFileName(105), "team105.dat");
}

TEST(TeamFileFormat, FieldsAtTheirOffsets) {
    TestBlocks b = teamBlocks(2);
    auto blocks = b.view();
    const int row = 70;  // a club with a 16-byte name slot
    const std::size_t L = 16, N = 40;
    storeSquadId(blocks, row, 30, 0);
    const Bytes file = buildTeamFile(blocks, row);
    ASSERT_EQ(file.size(), 65 + L + 96 * N);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 8), (Bytes{'T', 'E', 'A', 'M', 'D', 'A', 'T', 'A'}));
    EXPECT_EQ(readU32LE(file, 8), 70u);
    EXPECT_EQ(readU32LE(file, 12), L);
    EXPECT_EQ(readU32LE(file, 61 + L), N);
    const auto slotAt = [&](std::size_t at, std::size_t size) { return ByteSpan(file).subspan(at, size); };
    EXPECT_TRUE(std::ranges::equal(slotAt(16, L), teamNameSlot(blocks, row)));
    EXPECT_TRUE(std::ranges::equal(slotAt(16 + L, 4), shortNameSlot(blocks, row)));
    EXPECT_EQ(file[20 + L + 4], readTacticsByte(blocks, row, 4));
    EXPECT_EQ(file[25 + L + 5], readSetPiece(blocks, row, 5));
    EXPECT_TRUE(std::ranges::equal(slotAt(31 + L, 30), readFormation(blocks, row)));
    const std::uint32_t id5 = readSquadId(blocks, row, 5);
    EXPECT_EQ(readU16LE(file, 65 + L + 2 * 5), id5);
    EXPECT_EQ(file[65 + L + 2 * N + 5], readShirtByte(blocks, row, 5));
    EXPECT_TRUE(std::ranges::equal(slotAt(65 + L + 3 * N + 31 * 5, 31), playerNameSlot(blocks, PlayerName::Full, id5)));
    EXPECT_TRUE(
        std::ranges::equal(slotAt(65 + L + 34 * N + 16 * 5, 16), playerNameSlot(blocks, PlayerName::Back, id5)));
    EXPECT_EQ(readU16LE(file, 65 + L + 50 * N + 2 * 5), readCallNumber(blocks, id5));
    EXPECT_TRUE(std::ranges::equal(slotAt(65 + L + 52 * N + 44 * 5, 44), playerRecordBytes(blocks, id5)));
    // The empty slot 30 carries zeros for its player.
    EXPECT_EQ(readU16LE(file, 65 + L + 2 * 30), 0u);
    EXPECT_EQ(slotAt(65 + L + 3 * N + 31 * 30, 31).front(), 0);
    const auto empty = slotAt(65 + L + 52 * N + 44 * 30, 44);
    EXPECT_TRUE(std::all_of(empty.begin(), empty.end(), [](auto x) { return x == 0; }));
}

// A file made from one copy of the data and loaded into another gives the same file again, and
// both copies of every player's data in the second copy.
TEST(TeamFileRoundTrip, IntoAFreshCopy) {
    for (int row : {0, 3, 64, 65, 70, 104, 105}) {
        SCOPED_TRACE("row " + std::to_string(row));
        TestBlocks source = teamBlocks(3);
        const Bytes file = buildTeamFile(source.view(), row);
        TestBlocks target = teamBlocks(4);
        const TestBlocks before = target;
        Bytes loaded = file;
        if (row == kDefaultTeamRow) std::fill_n(loaded.begin() + 20 + 2, 5, 0x33);  // tactics it has not
        ASSERT_EQ(applyTeamFile(target.view(), loaded), row);
        const Bytes again = buildTeamFile(target.view(), row);
        if (row == kDefaultTeamRow) {
            // The five tactics bytes are not stored anywhere: not over row 0's set pieces either.
            EXPECT_EQ(again, file);
            EXPECT_TRUE(std::ranges::equal(ByteSpan(target.boot).subspan(kSetPiecesOffset, 6),
                                           ByteSpan(before.boot).subspan(kSetPiecesOffset, 6)));
        } else {
            EXPECT_EQ(again, file) << hexOf(ByteSpan(again).first(64));
        }
        auto blocks = target.view();
        for (int slot = 0; slot < squadSize(row); ++slot) {
            const auto id = readSquadId(blocks, row, slot);
            const std::size_t r = kRecordSize * (id - 1);
            EXPECT_TRUE(std::ranges::equal(ByteSpan(target.parameter).subspan(kRecordOffset + r, 44),
                                           ByteSpan(target.boot).subspan(kRecordCopyOffset + r, 44)));
            EXPECT_TRUE(std::ranges::equal(ByteSpan(target.parameter).subspan(kFullNameOffset + 31 * (id - 1), 31),
                                           ByteSpan(target.select).subspan(kFullNameCopyOffset + 31 * (id - 1), 31)));
            EXPECT_TRUE(std::ranges::equal(ByteSpan(target.parameter).subspan(kCallNumberOffset + 2 * (id - 1), 2),
                                           ByteSpan(target.select).subspan(kCallNumberCopyOffset + 2 * (id - 1), 2)));
        }
        if (row < kNationalRows) {
            // The squad copy takes the IDs; the other 34 bytes of its 80-byte entry stay.
            const std::size_t copy = kNationalSquadCopyOffset + 80 * static_cast<std::size_t>(row);
            EXPECT_TRUE(std::ranges::equal(ByteSpan(target.boot).subspan(copy, 46),
                                           ByteSpan(target.parameter).subspan(kNationalSquadOffset + 46 * row, 46)));
            EXPECT_TRUE(std::ranges::equal(ByteSpan(target.boot).subspan(copy + 46, 34),
                                           ByteSpan(before.boot).subspan(copy + 46, 34)));
        }
        TestBlocks original = before;
        EXPECT_EQ(readClubName(blocks, row), readClubName(original.view(), row)) << "the club name is not in the file";
    }
}

TEST(TeamFileRoundTrip, EmptySlotLeavesItsPlayerAlone) {
    TestBlocks source = teamBlocks(5);
    storeSquadId(source.view(), 80, 30, 0);
    const Bytes file = buildTeamFile(source.view(), 80);
    TestBlocks target = teamBlocks(6);
    const std::uint16_t oldId = readSquadId(target.view(), 80, 30);
    const Bytes oldRecord(playerRecordBytes(target.view(), oldId).begin(),
                          playerRecordBytes(target.view(), oldId).end());
    ASSERT_EQ(applyTeamFile(target.view(), file), 80);
    EXPECT_EQ(readSquadId(target.view(), 80, 30), 0);
    // The player who stood in slot 30 keeps his data unless another slot of the file holds him.
    bool inFile = false;
    for (int s = 0; s < 40; ++s) inFile |= readSquadId(target.view(), 80, s) == oldId;
    if (!inFile) {
        EXPECT_TRUE(std::ranges::equal(playerRecordBytes(target.view(), oldId), oldRecord));
    }
}

// Every way a file can fail to be an export: refused, and not one byte of the blocks changes.
TEST(TeamFileRefusal, MalformedFilesChangeNothing) {
    TestBlocks source = teamBlocks(7);
    const Bytes good = buildTeamFile(source.view(), 66);  // club, 16-byte name slot
    const std::size_t L = 16;
    struct Case {
        std::string what;
        Bytes file;
    };
    std::vector<Case> cases;
    const auto mutated = [&](std::string what, auto change) {
        Bytes f = good;
        change(f);
        cases.push_back({std::move(what), std::move(f)});
    };
    mutated("empty", [](Bytes& f) { f.clear(); });
    mutated("magic only", [](Bytes& f) { f.resize(8); });
    mutated("lower-case magic", [](Bytes& f) { f[0] = 't'; });
    mutated("last magic byte", [](Bytes& f) { f[7] = 'B'; });
    mutated("row 106", [](Bytes& f) { writeU32LE(f, 8, 106); });
    mutated("row far out", [](Bytes& f) { writeU32LE(f, 8, 0xFFFFFFFF); });
    mutated("row of another slot length", [](Bytes& f) { writeU32LE(f, 8, 10); });
    mutated("national row for a club file", [](Bytes& f) { writeU32LE(f, 8, 0); });
    mutated("L too large", [](Bytes& f) { writeU32LE(f, 12, 0x7FFFFFFF); });
    mutated("L differs", [](Bytes& f) { writeU32LE(f, 12, 8); });
    mutated("N differs", [&](Bytes& f) { writeU32LE(f, 61 + L, 23); });
    mutated("one byte short", [](Bytes& f) { f.pop_back(); });
    mutated("cut after the squad", [&](Bytes& f) { f.resize(65 + L + 80); });
    mutated("ID beyond the last player", [&](Bytes& f) { writeU16LE(f, 65 + L + 2 * 3, 2198); });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestBlocks target = teamBlocks(8);
        const TestBlocks before = target;
        EXPECT_EQ(checkTeamFile(c.file), std::nullopt);
        EXPECT_EQ(applyTeamFile(target.view(), c.file), std::nullopt);
        EXPECT_EQ(test::firstDifference(target.boot, before.boot), -1);
        EXPECT_EQ(test::firstDifference(target.parameter, before.parameter), -1);
        EXPECT_EQ(test::firstDifference(target.select, before.select), -1);
    }
    // A longer file is an export with something after it.
    Bytes longer = good;
    longer.push_back(0xAB);
    EXPECT_EQ(checkTeamFile(longer), 66);
}

TEST(TeamFileMessages, ExportAndImportThroughFiles) {
    test::TempDir dir;
    TestBlocks source = teamBlocks(9);
    MessageLog log;
    ASSERT_TRUE(exportTeam(source.view(), 0, dir.path(), log));
    const auto path = dir / "team000.dat";
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0],
              (Message{"OK, team data saved as \n" + path.string(), kAppName, MessageKind::Information}));
    EXPECT_EQ(std::filesystem::file_size(path), 2289u);
    // Saving again replaces the file.
    ASSERT_TRUE(exportTeam(source.view(), 0, dir.path(), log));
    EXPECT_EQ(std::filesystem::file_size(path), 2289u);

    TestBlocks target = teamBlocks(10);
    log.messages.clear();
    EXPECT_EQ(importTeam(target.view(), path, log), 0);
    EXPECT_EQ(log.messages.back(), (Message{"data of team 001 load OK.", kAppName, MessageKind::Information}));
    EXPECT_EQ(buildTeamFile(target.view(), 0), buildTeamFile(source.view(), 0));

    log.messages.clear();
    const auto missing = dir / "none" / "team000.dat";
    EXPECT_FALSE(exportTeam(source.view(), 0, dir / "none", log));
    EXPECT_EQ(log.messages.back(),
              (Message{"Can not create file " + missing.string() + " !", "error", MessageKind::FileError}));
    EXPECT_EQ(importTeam(target.view(), missing, log), std::nullopt);
    EXPECT_EQ(log.messages.back(),
              (Message{"Can not read file " + missing.string() + " !", "error", MessageKind::FileError}));
    EXPECT_EQ(importTeam(target.view(), dir.path(), log), std::nullopt);  // a folder is no file
    EXPECT_EQ(log.messages.back().kind, MessageKind::FileError);

    test::writeFile(dir / "bad.dat", Bytes{'T', 'E', 'A', 'M'});
    const TestBlocks before = target;
    EXPECT_EQ(importTeam(target.view(), dir / "bad.dat", log), std::nullopt);
    EXPECT_EQ(log.messages.back(), (Message{"unknown format!", kAppName, MessageKind::Warning}));
    EXPECT_EQ(readFormationFromTeamFile(dir / "bad.dat", log), std::nullopt);
    EXPECT_TRUE(target == before);

    const auto formation = readFormationFromTeamFile(path, log);
    ASSERT_TRUE(formation.has_value());
    EXPECT_EQ(*formation, readFormation(source.view(), 0));
}

}  // namespace
}  // namespace tarvo
