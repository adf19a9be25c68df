// The player's data beyond the record's bits: what the editor's pages show for stored values and
// what the user's choices write (checked against every other byte of the blocks and the second
// copy), the player file, the bulk change of one ability, and the voice call as a WAV image.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "player/page_rules.h"
#include "player/player_file.h"
#include "player/universal_edit.h"
#include "player/voice_clip.h"
#include "records/player.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "support/sample.h"
#include "support/test_blocks.h"
#include "voice/adx.h"
#include "voice/wav.h"

namespace tarvo {
namespace {

using namespace blockmap;
using test::TestBlocks;

constexpr std::uint32_t kId = 40;

// A player over patterned blocks, so that stray writes show.
struct Fixture {
    TestBlocks blocks;
    Player player;
    Fixture() {
        blocks.fillPattern(7);
        player.load(blocks.view(), kId);
    }
    void store(PlayerFieldId field, std::uint32_t raw) { player.write(field, raw + fieldOf(field).offset); }
    // The blocks with one field written, to compare a page's write with.
    static TestBlocks written(PlayerFieldId field, std::uint32_t value) {
        Fixture other;
        other.player.write(field, value);
        return other.blocks;
    }
};

TEST(PageLists, EntriesAndStoredValuesBothWays) {
    // A stored value with no entry shows none, and showing writes nothing.
    for (auto [field, raw] : {std::pair{PlayerFieldId::Position1, 11u},
                              {PlayerFieldId::ShoesModel, 15u},
                              {PlayerFieldId::Injury, 3u},
                              {PlayerFieldId::Offense, 0u},
                              {PlayerFieldId::Speed, 100u},
                              {PlayerFieldId::Nation, 56u},
                              {PlayerFieldId::Nation, 129u},
                              {PlayerFieldId::Nation, 255u}}) {
        Fixture f;
        f.store(field, raw);
        const TestBlocks before = f.blocks;
        EXPECT_EQ(entryOfStored(field, f.player), -1) << fieldOf(field).name << " " << raw;
        EXPECT_TRUE(f.blocks == before) << "showing wrote";
    }
    struct Case {
        PlayerFieldId field;
        int entry;
        std::optional<std::uint32_t> value;  // nullopt: outside the list, nothing written
    };
    const std::vector<Case> cases{
        {PlayerFieldId::Nation, 55, 55},    {PlayerFieldId::Nation, 56, 105}, {PlayerFieldId::Nation, 79, 128},
        {PlayerFieldId::Nation, 80, 240},   {PlayerFieldId::Nation, 81, {}},  {PlayerFieldId::Offense, 98, 99},
        {PlayerFieldId::Offense, 0, 1},     {PlayerFieldId::Offense, 99, {}}, {PlayerFieldId::Position2, 11, 11},
        {PlayerFieldId::Position1, 11, {}}, {PlayerFieldId::Injury, -1, {}},  {PlayerFieldId::Height, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(fieldOf(c.field).name) + " entry " + std::to_string(c.entry));
        Fixture f;
        EXPECT_EQ(chooseEntry(f.player, c.field, c.entry), c.value.has_value());
        EXPECT_TRUE(f.blocks == (c.value ? Fixture::written(c.field, *c.value) : Fixture().blocks));
        if (c.value) {
            EXPECT_EQ(entryOfStored(c.field, f.player), c.entry);
        }
    }
}

TEST(LinkedLists, HairAndBeardFollowTheirType) {
    Fixture f;
    f.store(PlayerFieldId::HairColor, 20);
    f.store(PlayerFieldId::HairType, 44);  // entry 51 ("52")
    EXPECT_EQ(hairLists(f.player), (LinkedLists{51, 20, true}));
    EXPECT_EQ(chooseHairType(f.player, kBaldEntry), (LinkedLists{kBaldEntry, -1, false}));
    EXPECT_EQ(f.player.read(PlayerFieldId::HairColor), kBaldHairColor);
    EXPECT_EQ(f.player.read(PlayerFieldId::HairType), 44u) << "bald keeps the style";
    EXPECT_EQ(chooseHairType(f.player, 4), (LinkedLists{4, 0, true}));  // leaving bald: colour "1"
    f.store(PlayerFieldId::HairColor, 30);
    EXPECT_EQ(chooseHairType(f.player, 6), (LinkedLists{6, 30, true}));  // "7" is code 56; colour kept
    EXPECT_EQ(f.player.read(PlayerFieldId::HairType), 56u);

    f.store(PlayerFieldId::BeardType, 12);
    EXPECT_EQ(chooseBeardType(f.player, kNoBeardEntry), (LinkedLists{kNoBeardEntry, -1, false}));
    EXPECT_EQ(f.player.read(PlayerFieldId::BeardColor), kNoBeardColor);
    EXPECT_EQ(f.player.read(PlayerFieldId::BeardType), 12u);
    EXPECT_EQ(chooseBeardType(f.player, 0), (LinkedLists{0, 62, true}));  // back: "as hair"
    EXPECT_EQ(f.player.read(PlayerFieldId::BeardColor), kBeardAsHairColor);

    // Stored values without an entry show nothing.
    f.store(PlayerFieldId::HairColor, 62);
    f.store(PlayerFieldId::HairType, 110);
    EXPECT_EQ(hairLists(f.player), (LinkedLists{-1, -1, true}));
    f.store(PlayerFieldId::BeardType, 60);
    EXPECT_EQ(beardLists(f.player), (LinkedLists{-1, 62, true}));
}

TEST(NumberFields, TheFaceFollowsTheSkin) {
    for (const auto& [skin, bound] : {std::pair{0u, 125u}, {1u, 106u}, {2u, 32u}, {3u, 26u}}) {
        SCOPED_TRACE("skin " + std::to_string(skin));
        Fixture f;
        f.store(PlayerFieldId::Skin, skin);
        f.store(PlayerFieldId::Face, 0);
        const TestBlocks before = f.blocks;
        EXPECT_FALSE(enterNumber(f.player, PlayerFieldId::Face, bound + 1));
        EXPECT_FALSE(enterNumber(f.player, PlayerFieldId::Face, 0));
        EXPECT_TRUE(f.blocks == before);
        EXPECT_TRUE(enterNumber(f.player, PlayerFieldId::Face, bound));
        EXPECT_EQ(f.blocks.parameter[112188 + 44 * (kId - 1) + 4] & 0x7F, bound - 1);  // face: byte 4, bits 0-6
    }
    // A weight stored below the range steps up towards it, never further out.
    Fixture f;
    f.store(PlayerFieldId::Weight, 27);
    for (const auto& [entered, stored] : {std::pair{26, 27u}, {28, 28u}, {27, 28u}, {30, 30u}}) {
        enterNumber(f.player, PlayerFieldId::Weight, entered);
        EXPECT_EQ(f.player.read(PlayerFieldId::Weight), stored) << entered;
    }
}

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

TEST(UniversalEdit, ArithmeticTruncatesAndClamps) {
    struct Case {
        std::int32_t value;
        UniversalMethod method;
        std::int32_t amount, result;
    };
    using enum UniversalMethod;
    for (const auto& c : {Case{95, Add, 10, 99}, Case{50, Add, -99, 1}, Case{0, Add, 0, 1}, Case{127, Add, 0, 99},
                          Case{40, Add, 7, 47}, Case{70, Percent, 150, 99}, Case{50, Percent, 33, 16},
                          Case{3, Percent, 33, 1}, Case{60, Percent, 149, 89}, Case{127, Percent, 100, 99}})
        EXPECT_EQ(universalValue(c.value, c.method, c.amount), c.result)
            << c.value << (c.method == Add ? " + " : " % ") << c.amount;
}

// Every player holds one of four values, and 33 percent makes of them the values written out
// here; no change at all for an ability outside 0 to 24.
TEST(UniversalEdit, OnlyTheChosenAbilityOfEveryPlayer) {
    const std::pair<std::uint32_t, std::uint32_t> values[] = {{50, 16}, {3, 1}, {99, 32}, {127, 41}};
    for (int ability : {0, 24, 25, -1}) {
        SCOPED_TRACE("ability " + std::to_string(ability));
        TestBlocks b;
        b.fillPattern(static_cast<std::uint32_t>(ability) + 2);  // the copies differ
        TestBlocks expected = b;
        Player player, was;
        for (std::uint32_t id = 1; id <= kPlayerCount; ++id) {
            player.load(b.view(), id);
            was.load(expected.view(), id);
            player.setAbility(ability, values[id % 4].first);
            was.setAbility(ability, values[id % 4].second);
        }
        universalEdit(b.view(), player, ability, UniversalMethod::Percent, 33);
        EXPECT_TRUE(b == expected);
    }
}

TEST(VoiceClip, ListenEntriesOfTheSampleDiscDecodeAndSave) {
    test::TempDir dir;
    MessageLog log;
    DataStore store(log);
    ASSERT_TRUE(store.LoadFromImage(test::copySampleImage(dir)));
    AfsArchive& archive = store.archive();
    for (int which : {1, 2}) {
        const auto clip = readVoiceClip(archive, which, 15833);
        ASSERT_TRUE(clip) << "Listen" << which;
        Bytes entry(archive.GetSize(listenEntry(which, 15833)));
        ASSERT_TRUE(archive.ReadEntry(entry, listenEntry(which, 15833)));
        EXPECT_EQ(*clip, decodeAdxToWav(entry).value());
    }
    testing::internal::CaptureStdout();
    EXPECT_FALSE(readVoiceClip(archive, 1, 16253));  // the parameter data, no voice call
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "not adx!\n");
    EXPECT_FALSE(readVoiceClip(archive, 1, 65535));  // past the archive's end

    // Where a clip's samples lie, never past the image's end whatever its header claims.
    Bytes clip = readVoiceClip(archive, 1, 15833).value();
    clip.resize(44 + 8);
    const auto pcm = wavPcmOf(clip);
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->dataOffset, 44u);
    EXPECT_EQ(pcm->dataSize, 8u);
    for (auto [at, value] : {std::pair{0, 'X'}, {8, 'X'}, {36, 'X'}, {20, 3}, {34, 8}, {22, 0}}) {
        Bytes broken = clip;
        broken[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(value);
        EXPECT_FALSE(wavPcmOf(broken)) << "byte " << at;
    }
    EXPECT_FALSE(wavPcmOf(ByteSpan(clip).first(43)));

    const auto file = dir / "call.wav", none = dir / "none.wav";
    ASSERT_TRUE(saveVoiceClip(archive, 12000, file, log));
    EXPECT_EQ(test::readFile(file), readVoiceClip(archive, 1, 12000).value());
    EXPECT_EQ(log.messages.back().text, "OK, voice saved as \n" + utf8Path(file));
    EXPECT_FALSE(saveVoiceClip(archive, 16253, none, log));
    EXPECT_FALSE(std::filesystem::exists(none));
}

}  // namespace
}  // namespace tarvo
