// The disc image builder against the store that reads its images: every file found with its
// bytes, the archive's entries and names, every sector a valid Mode 2 Form 1 sector.

#include "sample/disc_image.h"

#include <gtest/gtest.h>

#include "store/afs_archive.h"
#include "store/cd_sector.h"
#include "store/disc_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

TEST(DiscImage, IsReadByTheStoreSectorByteAndEntry) {
    sample::AfsBuilder afs;
    const Bytes clip = test::patterned(3000, 4), other = test::patterned(10, 5);
    afs.addEntry(afs.addBlob(clip), "voice/a.adx");
    afs.addEntry(afs.addBlob(other), std::string(40, 'N'));
    const std::vector<sample::DiscFile> files = {{"QXRT_418.27", test::patterned(2 * 2048 + 1, 2)},
                                                 {"FILEDATA.AFS", afs.build(2000)}, {"EMPTY.BIN", {}}};
    test::TempDir dir;
    for (const std::uint64_t padTo : {0ull, 700000000ull}) {
        SCOPED_TRACE(padTo);
        const fs::path image = dir / "disc.bin";
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
        AfsArchive archive(log);
        ASSERT_TRUE(archive.Find(image, "FILEDATA.AFS") && archive.LoadDirectory());
        ASSERT_EQ(archive.entryCount(), 2u);
        Bytes first(clip.size()), second(other.size());
        EXPECT_TRUE(archive.ReadEntry(first, 0) && archive.ReadEntry(second, 1) && first == clip && second == other);
        EXPECT_EQ(archive.GetName(0) + "|" + archive.GetName(1), "voice\\a.adx|" + std::string(32, 'N'));
        EXPECT_TRUE(log.messages.empty());
    }
    const Bytes image = sample::buildDiscImage(files);
    for (std::size_t lba = 0; lba < image.size() / kRawSectorSize; ++lba) {
        const ByteSpan sector = ByteSpan(image).subspan(lba * kRawSectorSize, kRawSectorSize);
        Bytes expected(sector.begin(), sector.end());
        cdsector::writeHead(expected, static_cast<std::uint32_t>(lba));
        cdsector::encodeTail(expected);
        ASSERT_TRUE(std::ranges::equal(sector, expected)) << "sector " << lba << ": " << test::hex(sector.first(24));
    }
}

}  // namespace
}  // namespace tarvo
