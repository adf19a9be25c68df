// The player file: 200 random players of the sample carried to other players, short and foreign
// files refused with nothing changed, and the messages (the values' checks: the team file's test).

#include <gtest/gtest.h>

#include <random>

#include "player/player_file.h"
#include "records/player.h"
#include "store/file_io.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::TestBlocks;

// Where each part lands in both copies: the layout and random-edit tests; here a file exported from
// the sample loads onto another player with nothing to report and exports as the same bytes (the
// bytes after the file's 103 are ignored).
TEST(PlayerFile, SampleFilesRoundTripOntoAnotherPlayer) {
    TestBlocks sample = test::sampleBlocks(), target;
    target.fillPattern(2);
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {
        const auto from = static_cast<std::uint32_t>(1 + random() % 2197),
                   to = static_cast<std::uint32_t>(1 + random() % 2197);
        Bytes file = buildPlayerFile(sample.view(), from);
        ASSERT_EQ(file.size(), 103u);
        if (i == 0) file.insert(file.end(), 5, 0xEE);
        const FileImport loaded = applyPlayerFile(target.view(), to, file);
        ASSERT_TRUE(loaded.stored()) << "player " << from;
        EXPECT_TRUE(loaded.values.kept.empty()) << "player " << from;
        file.resize(103);
        EXPECT_EQ(buildPlayerFile(target.view(), to), file) << "player " << from;
    }
}

TEST(PlayerFile, ShortOrForeignFilesChangeNothing) {
    TestBlocks b = test::sampleBlocks();
    const Bytes good = buildPlayerFile(b.view(), 5);
    Bytes team = good;
    std::ranges::copy(std::string_view("TEAMDATA"), team.begin());
    const std::vector<std::pair<std::uint32_t, Bytes>> cases{{8, {}},
                                                             {8, Bytes(good.begin(), good.begin() + 10)},
                                                             {8, Bytes(good.begin(), good.end() - 1)},
                                                             {8, team},
                                                             {0, good},
                                                             {2198, good}};
    for (const auto& [id, file] : cases) {
        SCOPED_TRACE(test::hex(ByteSpan(file).first(std::min<std::size_t>(file.size(), 12))));
        TestBlocks target;
        target.fillPattern(4);
        const TestBlocks before = target;
        EXPECT_FALSE(applyPlayerFile(target.view(), id, file).known);
        EXPECT_TRUE(target == before);
    }
}

TEST(PlayerFile, MessagesOfExportAndImport) {
    test::TempDir dir;
    TestBlocks b = test::sampleBlocks();
    MessageLog log;
    const auto path = dir / "player0007.dat";
    const auto last = [&] { return log.messages.back(); };
    ASSERT_TRUE(exportPlayer(b.view(), 7, dir.path(), log));
    EXPECT_EQ(last(), (Message{"OK, player data saved as \n" + utf8Path(path), kAppName, MessageKind::Information}));
    ASSERT_TRUE(importPlayer(b.view(), 9, path, log).stored());
    EXPECT_EQ(last(), (Message{"data of player load OK.", kAppName, MessageKind::Information}));
    EXPECT_EQ(buildPlayerFile(b.view(), 9), buildPlayerFile(b.view(), 7));
    test::writeFile(dir / "short.dat", ByteSpan(buildPlayerFile(b.view(), 7)).first(102));
    const TestBlocks before = b;
    EXPECT_FALSE(importPlayer(b.view(), 9, dir / "short.dat", log).known);
    EXPECT_EQ(last(), (Message{"unknown format!", kAppName, MessageKind::Warning}));
    EXPECT_TRUE(b == before);

    // A value the game reads but the editor does not offer (shoot tech 127: bits 2-7 of record byte
    // 37 and bit 0 of byte 38; the record starts at byte 59) is stored, named before the OK.
    Bytes file = buildPlayerFile(b.view(), 7);
    file[59 + 37] |= 0xFC, file[59 + 38] |= 0x01;
    test::writeFile(dir / "tech.dat", file);
    ASSERT_TRUE(importPlayer(b.view(), 9, dir / "tech.dat", log).stored());
    EXPECT_EQ(buildPlayerFile(b.view(), 9), file);
    const Message& kept = log.messages[log.messages.size() - 2];
    EXPECT_EQ(kept.kind, MessageKind::Warning);
    EXPECT_NE(kept.text.find(utf8Path(dir / "tech.dat") + ": shoot tech = 127 ("), std::string::npos) << kept.text;
    EXPECT_EQ(last().text, "data of player load OK.");
}

}  // namespace
}  // namespace tarvo
