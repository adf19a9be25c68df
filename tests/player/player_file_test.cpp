// The player file: exact layout, a round trip from one player to another, short and foreign files
// refused with nothing changed, and the messages.

#include <gtest/gtest.h>

#include "player/player_file.h"
#include "records/player.h"
#include "support/sample.h"
#include "support/test_blocks.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::hexOf;
using test::TestBlocks;

TEST(PlayerFileFormat, LayoutAndName) {
    TestBlocks b;
    b.fillPattern(1);
    auto blocks = b.view();
    const Bytes file = buildPlayerFile(blocks, 7);
    ASSERT_EQ(file.size(), 103u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 10), (Bytes{'P', 'L', 'A', 'Y', 'E', 'R', 'D', 'A', 'T', 'A'}));
    EXPECT_TRUE(std::ranges::equal(ByteSpan(file).subspan(10, 31),
                                   ByteSpan(b.parameter).subspan(kFullNameOffset + 31 * 6, 31)));
    EXPECT_TRUE(std::ranges::equal(ByteSpan(file).subspan(41, 16),
                                   ByteSpan(b.parameter).subspan(kBackNameOffset + 16 * 6, 16)));
    EXPECT_EQ(file[57], b.parameter[kCallNumberOffset + 2 * 6]);
    EXPECT_EQ(file[58], b.parameter[kCallNumberOffset + 2 * 6 + 1]);
    EXPECT_TRUE(
        std::ranges::equal(ByteSpan(file).subspan(59, 44), ByteSpan(b.parameter).subspan(kRecordOffset + 44 * 6, 44)));
    EXPECT_TRUE(buildPlayerFile(blocks, 0).empty());
    EXPECT_TRUE(buildPlayerFile(blocks, 2198).empty());
    EXPECT_EQ(playerFileName(7), "player0007.dat");
    EXPECT_EQ(playerFileName(2197), "player2197.dat");
}

TEST(PlayerFileRoundTrip, FromOnePlayerToAnother) {
    TestBlocks b;
    b.fillPattern(2);
    auto blocks = b.view();
    const Bytes from12 = buildPlayerFile(blocks, 12);
    TestBlocks expected = b;
    ASSERT_TRUE(applyPlayerFile(blocks, 40, from12));
    EXPECT_EQ(buildPlayerFile(blocks, 40), Bytes(from12));  // primary copies of player 40
    EXPECT_EQ(buildPlayerFile(blocks, 12), from12);        // player 12 unchanged
    // Both copies of player 40, and nothing else anywhere.
    const auto put = [](Bytes& block, std::size_t at, ByteSpan data) {
        std::ranges::copy(data, block.begin() + static_cast<long>(at));
    };
    const ByteSpan f(from12);
    put(expected.parameter, kFullNameOffset + 31 * 39, f.subspan(10, 31));
    put(expected.select, kFullNameCopyOffset + 31 * 39, f.subspan(10, 31));
    put(expected.parameter, kBackNameOffset + 16 * 39, f.subspan(41, 16));
    put(expected.select, kBackNameCopyOffset + 16 * 39, f.subspan(41, 16));
    put(expected.parameter, kCallNumberOffset + 2 * 39, f.subspan(57, 2));
    put(expected.select, kCallNumberCopyOffset + 2 * 39, f.subspan(57, 2));
    put(expected.parameter, kRecordOffset + 44 * 39, f.subspan(59, 44));
    put(expected.boot, kRecordCopyOffset + 44 * 39, f.subspan(59, 44));
    EXPECT_EQ(test::firstDifference(b.parameter, expected.parameter), -1);
    EXPECT_EQ(test::firstDifference(b.select, expected.select), -1);
    EXPECT_EQ(test::firstDifference(b.boot, expected.boot), -1);

    // A longer file is accepted; what follows byte 102 is ignored.
    Bytes longer = from12;
    longer.insert(longer.end(), 50, 0xEE);
    TestBlocks c = b;
    ASSERT_TRUE(applyPlayerFile(c.view(), 99, longer));
    EXPECT_EQ(buildPlayerFile(c.view(), 99), from12);
}

TEST(PlayerFileRefusal, ShortOrForeignFilesChangeNothing) {
    TestBlocks b;
    b.fillPattern(3);
    const Bytes good = buildPlayerFile(b.view(), 5);
    struct Case {
        std::string what;
        Bytes file;
    };
    std::vector<Case> cases{{"empty", {}}, {"magic only", Bytes(good.begin(), good.begin() + 10)},
                            {"one byte short", Bytes(good.begin(), good.end() - 1)}};
    Bytes lower = good;
    for (int i = 0; i < 10; ++i) lower[i] = static_cast<std::uint8_t>(std::tolower(lower[i]));
    cases.push_back({"lower-case magic", lower});
    Bytes team = good;
    std::ranges::copy(std::string_view("TEAMDATA"), team.begin());
    cases.push_back({"team magic", team});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what + ": " + hexOf(ByteSpan(c.file).first(std::min<std::size_t>(c.file.size(), 12))));
        TestBlocks target;
        target.fillPattern(4);
        const TestBlocks before = target;
        EXPECT_FALSE(applyPlayerFile(target.view(), 8, c.file));
        EXPECT_TRUE(target == before);
    }
    TestBlocks target;
    EXPECT_FALSE(applyPlayerFile(target.view(), 0, good));
    EXPECT_FALSE(applyPlayerFile(target.view(), 2198, good));
    EXPECT_TRUE(target == TestBlocks{});
}

TEST(PlayerFileMessages, ExportAndImportThroughFiles) {
    test::TempDir dir;
    TestBlocks b;
    b.fillPattern(5);
    MessageLog log;
    ASSERT_TRUE(exportPlayer(b.view(), 7, dir.path(), log));
    const auto path = dir / "player0007.dat";
    EXPECT_EQ(log.messages.back(),
              (Message{"OK, player data saved as \n" + path.string(), kAppName, MessageKind::Information}));
    EXPECT_EQ(std::filesystem::file_size(path), 103u);

    ASSERT_TRUE(importPlayer(b.view(), 9, path, log));
    EXPECT_EQ(log.messages.back(), (Message{"data of player load OK.", kAppName, MessageKind::Information}));
    EXPECT_EQ(buildPlayerFile(b.view(), 9), buildPlayerFile(b.view(), 7));

    const auto missing = dir / "no" / "player0007.dat";
    EXPECT_FALSE(exportPlayer(b.view(), 7, dir / "no", log));
    EXPECT_EQ(log.messages.back(),
              (Message{"Can not create file " + missing.string() + " !", "error", MessageKind::FileError}));
    EXPECT_FALSE(importPlayer(b.view(), 9, missing, log));
    EXPECT_EQ(log.messages.back(),
              (Message{"Can not read file " + missing.string() + " !", "error", MessageKind::FileError}));

    Bytes cut = buildPlayerFile(b.view(), 7);
    cut.pop_back();
    test::writeFile(dir / "short.dat", cut);
    const TestBlocks before = b;
    EXPECT_FALSE(importPlayer(b.view(), 9, dir / "short.dat", log));
    EXPECT_EQ(log.messages.back(), (Message{"unknown format!", kAppName, MessageKind::Warning}));
    EXPECT_TRUE(b == before);
}

}  // namespace
}  // namespace tarvo
