// The sample disc: its invented data (the same blocks in the image and the exported files, every
// player field inside the range its editor control allows), its ADX encoder against the project's
// decoder, and the disc image builder against the store that reads its images.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "records/player.h"
#include "records/player_tables.h"
#include "sample/adx_encoder.h"
#include "sample/disc_image.h"
#include "sample/sample_disc.h"
#include "sample/sample_voice.h"
#include "store/block_map.h"
#include "store/cd_sector.h"
#include "store/data_store.h"
#include "store/disc_fixture.h"
#include "support/platform.h"
#include "support/sample.h"
#include "voice/adx.h"

namespace tarvo {
namespace {

using namespace sample;

namespace bm = blockmap;

SampleBlocks& blocks() {
    static SampleBlocks made = makeSampleBlocks();
    return made;
}

// (That every second copy equals its primary: the verify tests on the sample.)
TEST(SampleContent, ImageAndExportedFilesHoldTheGeneratedBlocks) {
    const SampleBlocks& b = blocks();
    MessageLog log;
    DataStore image(log), files(log);
    ASSERT_TRUE(image.LoadFromImage(test::sampleImage()) && files.LoadFromDirectory(test::sampleExportDir()));
    for (const DataStore* s : {&image, &files})
        EXPECT_TRUE(std::ranges::equal(s->boot(), b.boot) && std::ranges::equal(s->parameter(), b.parameter) &&
                    std::ranges::equal(s->select(), b.select));
}

// What the editor's controls can set, field by field; the face is bounded by the skin too.
TEST(SampleContent, EveryPlayerFieldLiesInItsControlsRange) {
    // clang-format off
    const std::tuple<std::uint32_t, std::uint32_t, std::vector<PlayerFieldId>> looks[] = {
        {148, 205, {PlayerFieldId::Height}}, {40, 123, {PlayerFieldId::Weight}}, {15, 46, {PlayerFieldId::Age}}, {1, 125, {PlayerFieldId::Face}},
        {0, 3, {PlayerFieldId::Skin}}, {0, 102, {PlayerFieldId::HairType}}, {0, 59, {PlayerFieldId::BeardType}},
        {0, 63, {PlayerFieldId::HairColor, PlayerFieldId::BeardColor}}, {0, 11, {PlayerFieldId::EyeIris, PlayerFieldId::Position2, PlayerFieldId::Position3}},
        {0, 2, {PlayerFieldId::EyeGlobe, PlayerFieldId::Sleeves, PlayerFieldId::Foot, PlayerFieldId::Injury}}, {0, 4, {PlayerFieldId::FreeKick, PlayerFieldId::Build}},
        {0, 9, {PlayerFieldId::ShoesModel}},
        {0, 7, {PlayerFieldId::HeadV, PlayerFieldId::HeadH, PlayerFieldId::Accessory, PlayerFieldId::ShoesColor, PlayerFieldId::ShoesDesignColor, PlayerFieldId::ShoesTongueColor}},
        {0, 10, {PlayerFieldId::Position1}}, {0, 240, {PlayerFieldId::Nation}}};
    // clang-format on
    std::map<PlayerFieldId, std::pair<std::uint32_t, std::uint32_t>> ranges;
    for (const auto& [min, max, fields] : looks)
        for (PlayerFieldId f : fields) ranges[f] = {min, max};
    for (PlayerFieldId f : kAbilityFields) ranges[f] = {1, 99};
    for (PlayerFieldId f : kSpecialAbilityFields) ranges[f] = {0, 1};
    ASSERT_EQ(ranges.size(), kPlayerFieldCount);
    const GameBlocks view{blocks().boot, blocks().parameter, blocks().select};
    std::map<PlayerFieldId, std::set<std::uint32_t>> seen;
    Player player;
    for (std::uint32_t id = 1; id <= bm::kPlayerCount && !::testing::Test::HasFailure(); ++id) {
        player.load(view, id);
        SCOPED_TRACE("player " + std::to_string(id) + " record " + test::hex(playerRecordBytes(view, id)));
        for (const auto& [field, range] : ranges) {
            const std::uint32_t value = player.read(field);
            EXPECT_TRUE(value >= range.first && value <= range.second) << fieldOf(field).name << " = " << value;
            seen[field].insert(value);
        }
        EXPECT_LE(player.read(PlayerFieldId::Face), faceBoundOfSkin(player.read(PlayerFieldId::Skin)));
        EXPECT_NE(player.read(PlayerFieldId::HairColor), 62u);  // 0 to 61, or 63 for bald
        EXPECT_TRUE(nationEntryOfCode(player.read(PlayerFieldId::Nation)).has_value())
            << player.read(PlayerFieldId::Nation);
        const std::uint16_t call = readCallNumber(view, id);
        EXPECT_TRUE(call == kNoCallNumber || (call >= kCallNumberMin && call <= kCallNumberMax)) << call;
    }
    // Invented, but not all alike: every field takes several values across the players.
    for (const auto& [field, values] : seen) EXPECT_GE(values.size(), 2u) << fieldOf(field).name;
}

constexpr std::size_t kWavHeaderSize = 44;

std::vector<std::int16_t> square(std::size_t count, std::size_t halfPeriod, std::int16_t high, std::int16_t low) {
    std::vector<std::int16_t> s(count);
    for (std::size_t n = 0; n < count; ++n) s[n] = (n / halfPeriod) % 2 ? low : high;
    return s;
}

struct RoundTripCase {
    std::string name;
    std::vector<std::int16_t> samples;
    double minSnrDb;  // signal to error ratio the decoded sound keeps at least
    int maxError;     // largest difference of one sample
};

TEST(SampleAdxEncoder, DecodesCloseToWhatWasEncoded) {
    const std::vector<RoundTripCase> cases{
        {"nothing", {}, 0, 0},
        {"silence", std::vector<std::int16_t>(100, 0), 0, 0},
        {"steps, odd length", square(71, 20, 3000, -1000), 20, 3000},
        {"full-scale square", square(4000, 50, 32767, -32768), 17, 30000},
        {"voice clip 47", makeVoiceClip(47), 30, 1500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes adx = encodeAdx(c.samples, 22050);
        const auto wav = decodeAdxToWav(adx);
        ASSERT_TRUE(wav.has_value());
        ASSERT_EQ(wav->size(), kWavHeaderSize + 2 * c.samples.size());
        std::vector<std::int16_t> decoded;
        for (std::size_t at = kWavHeaderSize; at + 1 < wav->size(); at += 2)
            decoded.push_back(static_cast<std::int16_t>(*readU16LE(*wav, at)));
        double signal = 0, error = 0;
        int largest = 0;
        std::size_t worstAt = 0;
        for (std::size_t n = 0; n < decoded.size(); ++n) {
            const int e = decoded[n] - c.samples[n];
            signal += double(c.samples[n]) * c.samples[n];
            error += double(e) * e;
            if (std::abs(e) > largest) {
                largest = std::abs(e);
                worstAt = n;
            }
        }
        EXPECT_LE(largest, c.maxError) << "worst sample " << worstAt << ": wanted " << c.samples[worstAt]
                                       << ", decoded " << decoded[worstAt];
        if (error > 0) {
            EXPECT_GE(10 * std::log10(signal / error), c.minSnrDb);
        }
    }
}

namespace fs = std::filesystem;

TEST(DiscImage, IsReadByTheStoreSectorAndByte) {
    const std::vector<sample::DiscFile> files = {{"QXRT_418.27", test::patterned(2 * 2048 + 1, 2)},
                                                 {"FILEDATA.AFS", test::patterned(3000, 4)},
                                                 {"EMPTY.BIN", {}}};
    test::TempDir dir;
    for (const std::uint64_t padTo : {0ull, 700000000ull}) {
        SCOPED_TRACE(padTo);
        const fs::path image = dir / "disc.bin";
        if (padTo && !test::makeSparseFile(image, padTo)) continue;  // the padding would be written out
        ASSERT_TRUE(sample::writeDiscImage(image, files, padTo));
        const Bytes built = sample::buildDiscImage(files);
        EXPECT_EQ(fs::file_size(image), padTo ? padTo : built.size());
        MessageLog log;
        for (const auto& file : files) {
            IsoFile found(log);
            ASSERT_TRUE(found.Find(image, file.name));
            Bytes content(found.fileSize());
            ASSERT_TRUE(found.Open(IsoFile::Mode::Read));
            EXPECT_TRUE(found.Read(0, content) && content == file.data) << file.name;
        }
        EXPECT_TRUE(log.messages.empty());
    }
    // Each sector: the sync pattern, its address 150 frames on as minutes, seconds and frames in
    // BCD, mode 2, and an EDC and parity the store's checks take (tested on sectors of their own).
    const Bytes image = sample::buildDiscImage(files);
    const auto bcd = [](std::uint32_t v) { return static_cast<std::uint8_t>(v / 10 * 16 + v % 10); };
    for (std::uint32_t lba = 0; lba < image.size() / 2352; ++lba) {
        const ByteSpan sector = ByteSpan(image).subspan(lba * 2352, 2352);
        const std::uint32_t frame = lba + 150;
        Bytes head{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
        for (std::uint8_t b : {bcd(frame / 75 / 60), bcd(frame / 75 % 60), bcd(frame % 75), std::uint8_t{2}})
            head.push_back(b);
        Bytes encoded(sector.begin(), sector.end());
        cdsector::encodeTail(encoded);
        ASSERT_EQ(test::hex(sector.first(16)), test::hex(head)) << "sector " << lba;
        ASSERT_TRUE(cdsector::hasValidEdc(sector) && std::ranges::equal(sector, encoded)) << "sector " << lba;
    }
}

}  // namespace
}  // namespace tarvo
