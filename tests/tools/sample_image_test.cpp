// The sample disc as the editor meets it: a raw image whose every sector carries valid error
// codes, an ISO 9660 root directory at sector 22, an archive whose voice entries decode, and the
// same three blocks whether loaded from the image or from the exported files.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "records/player_tables.h"
#include "sample/sample_disc.h"
#include "store/block_map.h"
#include "store/cd_sector.h"
#include "store/data_store.h"
#include "store/iso_file.h"
#include "support/sample.h"
#include "voice/adx.h"

namespace tarvo::sample {
namespace {

namespace fs = std::filesystem;
constexpr std::uint32_t kSecondCallDistance = 8744;
constexpr std::size_t kWavHeaderSize = 44;

const SampleBlocks& expectedBlocks() {
    static const SampleBlocks blocks = makeSampleBlocks();
    return blocks;
}

ByteSpan userData(const Bytes& image, std::size_t sector) {
    return ByteSpan(image).subspan(sector * cdsector::kSectorSize + cdsector::kUserDataOffset, cdsector::kUserDataSize);
}

TEST(SampleImage, EverySectorCarriesValidEdcAndParity) {
    const Bytes image = test::readFile(test::sampleImage());
    ASSERT_EQ(image.size() % cdsector::kSectorSize, 0u);
    const std::size_t sectors = image.size() / cdsector::kSectorSize;
    ASSERT_GT(sectors, 40u);
    int bad = 0;
    for (std::size_t s = 0; s < sectors && bad < 5; ++s) {
        const ByteSpan sector = ByteSpan(image).subspan(s * cdsector::kSectorSize, cdsector::kSectorSize);
        Bytes recoded(sector.begin(), sector.end());
        cdsector::encodeTail(recoded);
        if (!cdsector::hasValidEdc(sector) || !std::equal(recoded.begin(), recoded.end(), sector.begin())) {
            ADD_FAILURE() << "sector " << s << " head " << test::hex(sector.first(24));
            ++bad;
        }
    }
}

TEST(SampleImage, HasAVolumeAndARootDirectoryAtSector22) {
    const Bytes image = test::readFile(test::sampleImage());
    const ByteSpan volume = userData(image, 16);
    EXPECT_EQ(volume[0], 1);
    EXPECT_EQ(std::string(volume.begin() + 1, volume.begin() + 6), "CD001");
    EXPECT_EQ(readU32LE(volume, 156 + 2), 22u);  // the root directory record's extent
    const ByteSpan root = userData(image, 22);
    const std::string text(root.begin(), root.end());
    EXPECT_NE(text.find("QXRT_418.27;1"), std::string::npos);
    EXPECT_NE(text.find("FILEDATA.AFS;1"), std::string::npos);

    MessageLog log;
    IsoFile boot(log);
    ASSERT_TRUE(boot.Find(test::sampleImage(), "QXRT_418.27"));
    EXPECT_EQ(boot.fileSize(), expectedBlocks().boot.size());
    EXPECT_TRUE(log.messages.empty());
}

TEST(SampleImage, BlocksFromImageAndFromExportedFilesAreTheGeneratedOnes) {
    MessageLog log;
    DataStore fromImage(log), fromFiles(log);
    ASSERT_TRUE(fromImage.LoadFromImage(test::sampleImage()));
    ASSERT_TRUE(fromFiles.LoadFromDirectory(test::sampleExportDir()));
    EXPECT_TRUE(log.messages.empty());
    const SampleBlocks& made = expectedBlocks();
    struct Block {
        const char* name;
        ByteSpan image, files;
        const Bytes& made;
    };
    for (const Block& b : {Block{"boot", fromImage.boot(), fromFiles.boot(), made.boot},
                           Block{"parameter", fromImage.parameter(), fromFiles.parameter(), made.parameter},
                           Block{"select", fromImage.select(), fromFiles.select(), made.select}}) {
        SCOPED_TRACE(b.name);
        EXPECT_TRUE(std::ranges::equal(b.image, b.made));
        EXPECT_TRUE(std::ranges::equal(b.files, b.made));
    }
    // A little larger than the block map needs, so that bytes past the tables travel too.
    EXPECT_GT(made.boot.size(), blockmap::kMinBootSize);
    EXPECT_GT(made.parameter.size(), blockmap::kMinParameterSize);
    EXPECT_GT(made.select.size(), blockmap::kMinSelectSize);
}

TEST(SampleImage, ArchiveNamesEveryEntryAndVoiceCallsDecode) {
    MessageLog log;
    DataStore store(log);
    ASSERT_TRUE(store.LoadFromImage(test::sampleImage()));
    AfsArchive& archive = store.archive();
    ASSERT_GE(archive.entryCount(), blockmap::kSelectEntry + 1);
    for (std::uint32_t i = 0; i < archive.entryCount(); ++i)
        if (archive.GetName(i).empty()) ADD_FAILURE() << "entry " << i << " has no name";
    EXPECT_EQ(archive.GetName(kCallNumberMin), "voice\\call11578.adx");
    EXPECT_EQ(archive.GetName(kCallNumberMin - kSecondCallDistance), "voice\\call11578_2.adx");
    EXPECT_EQ(archive.GetName(blockmap::kParameterEntry), "data\\parameter.ovl");
    EXPECT_EQ(archive.GetName(blockmap::kSelectEntry), "data\\select.ovl");
    const std::uint32_t last = archive.entryCount() - 1;
    EXPECT_GT(archive.nameTableOffset(), archive.GetOffset(last) + archive.GetSize(last));  // a run of zeros between

    // Both entries of every call number hold ADX; the many entries share a few clips.
    std::set<std::uint32_t> clipOffsets;
    for (std::uint32_t call = kCallNumberMin; call <= kCallNumberMax; ++call) {
        for (std::uint32_t entry : {call, call - kSecondCallDistance}) {
            if (archive.GetSize(entry) <= 36) ADD_FAILURE() << "entry " << entry << " is too short";
            clipOffsets.insert(archive.GetOffset(entry));
        }
    }
    EXPECT_GE(clipOffsets.size(), 16u);
    EXPECT_LE(clipOffsets.size(), 64u);
    std::set<std::uint32_t> checked;
    for (std::uint32_t call = kCallNumberMin; checked.size() < clipOffsets.size() && call <= kCallNumberMax; ++call) {
        if (!checked.insert(archive.GetOffset(call)).second) continue;
        Bytes entry(archive.GetSize(call));
        ASSERT_TRUE(archive.ReadEntry(entry, call));
        const auto wav = decodeAdxToWav(entry);
        ASSERT_TRUE(wav.has_value()) << "entry " << call;
        EXPECT_EQ(readU32LE(*wav, 24), 22050u);
        EXPECT_EQ(readU16LE(*wav, 22), 1u);
        EXPECT_GT(wav->size(), kWavHeaderSize + 2 * 11025);  // at least half a second
    }
}

TEST(SampleImage, IsPaddedToTheSizeOfADiscUnlessAskedNotTo) {
    test::TempDir dir;
    MessageLog log;
    ASSERT_TRUE(makeSample(dir.path(), SampleOptions{}, log));
    const fs::path padded = dir / "sample.bin";
    EXPECT_EQ(fs::file_size(padded), 700000000u);
    const auto unpaddedSize = fs::file_size(test::sampleImage());
    // The unpadded image and the first bytes of the padded one are the same.
    Bytes head(unpaddedSize);
    std::ifstream in(padded, std::ios::binary);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    EXPECT_EQ(head, test::readFile(test::sampleImage()));
    for (const char* name : {"QXRT_418.27", "parameter.ovl", "select.ovl"})
        EXPECT_EQ(test::fileChecksum(dir / "exported" / name), test::fileChecksum(test::sampleExportDir() / name)) << name;
}

TEST(SampleImage, RefusesAFolderItCannotMake) {
    test::TempDir dir;
    test::writeFile(dir / "file", Bytes{1, 2, 3});
    MessageLog log;
    EXPECT_FALSE(makeSample(dir / "file" / "sample", SampleOptions{.padImage = false}, log));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_NE(log.messages[0].text.find("file"), std::string::npos);
    EXPECT_EQ(test::readFile(dir / "file"), (Bytes{1, 2, 3}));
}

}  // namespace
}  // namespace tarvo::sample
