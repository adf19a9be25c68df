// The player file: a round trip from one player to another, short and foreign files refused with
// nothing changed, and the messages.

#include <gtest/gtest.h>

#include "player/player_file.h"
#include "records/player.h"
#include "store/file_io.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::TestBlocks;

// Where each part lands in both copies: the layout and random-edit tests; here the bytes after the
// file's 103 are ignored and the file of the target equals the source's afterwards.
TEST(PlayerFile, RoundTripFromOnePlayerToAnother) {
    TestBlocks b;
    b.fillPattern(2);
    Bytes from12 = buildPlayerFile(b.view(), 12);
    ASSERT_EQ(from12.size(), 103u);
    from12.insert(from12.end(), 5, 0xEE);
    ASSERT_TRUE(applyPlayerFile(b.view(), 40, from12));
    from12.resize(103);
    EXPECT_EQ(buildPlayerFile(b.view(), 40), from12);
}

TEST(PlayerFile, ShortOrForeignFilesChangeNothing) {
    TestBlocks b;
    b.fillPattern(3);
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
        EXPECT_FALSE(applyPlayerFile(target.view(), id, file));
        EXPECT_TRUE(target == before);
    }
}

TEST(PlayerFile, MessagesOfExportAndImport) {
    test::TempDir dir;
    TestBlocks b;
    b.fillPattern(5);
    MessageLog log;
    const auto path = dir / "player0007.dat";
    const auto last = [&] { return log.messages.back(); };
    ASSERT_TRUE(exportPlayer(b.view(), 7, dir.path(), log));
    EXPECT_EQ(last(), (Message{"OK, player data saved as \n" + utf8Path(path), kAppName, MessageKind::Information}));
    ASSERT_TRUE(importPlayer(b.view(), 9, path, log));
    EXPECT_EQ(last(), (Message{"data of player load OK.", kAppName, MessageKind::Information}));
    EXPECT_EQ(buildPlayerFile(b.view(), 9), buildPlayerFile(b.view(), 7));
    test::writeFile(dir / "short.dat", ByteSpan(buildPlayerFile(b.view(), 7)).first(102));
    const TestBlocks before = b;
    EXPECT_FALSE(importPlayer(b.view(), 9, dir / "short.dat", log));
    EXPECT_EQ(last(), (Message{"unknown format!", kAppName, MessageKind::Warning}));
    EXPECT_TRUE(b == before);
}

}  // namespace
}  // namespace tarvo
