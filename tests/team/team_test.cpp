// The team's data: the team file, the edit history over edits of every kind, and what the team
// editor shows and finds.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

#include "edits/change_list.h"
#include "player/universal_edit.h"
#include "records/player.h"
#include "records/team.h"
#include "store/edit_history.h"
#include "store/file_io.h"
#include "support/test_blocks.h"
#include "team/formation_layout.h"
#include "team/player_search.h"
#include "team/squad_entry.h"
#include "team/tactics_bar.h"
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

Bytes sjis(const std::string& text) { return encodeShiftJis(text).bytes; }

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

// A tactics field framed at (100, 40), 30 x 13: the bar starts 50 px right of its inner left edge
// (101), fills the inner rows 41..51 at 5 px a unit, and its area holds the 19 units shown at most.
TEST(TacticsBar, FivePixelsAUnitRightOfTheField) {
    const PixelRect area{151, 40, 246, 53};
    const std::pair<int, PixelRect> cases[] = {
        {4, {151, 41, 171, 52}},   {19, {151, 41, 246, 52}}, {20, {151, 41, 246, 52}},
        {255, {151, 41, 246, 52}}, {0, {151, 41, 151, 52}},  {-3, {151, 41, 151, 52}},
    };
    for (const auto& [value, bar] : cases) {
        SCOPED_TRACE(value);
        const TacticsBar drawn = tacticsBar(100, 40, 30, 13, value);
        EXPECT_EQ(drawn.bar, bar);
        EXPECT_EQ(drawn.area, area);
    }
}

}  // namespace
}  // namespace tarvo
