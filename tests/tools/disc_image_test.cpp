// The disc image builder against the store that reads its images: every file found with its
// bytes, every sector a valid Mode 2 Form 1 sector. (Archives built for images: the store's tests.)

#include "sample/disc_image.h"

#include <gtest/gtest.h>

#include "store/cd_sector.h"
#include "store/disc_fixture.h"
#include "support/platform.h"

namespace tarvo {
namespace {

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
    const Bytes image = sample::buildDiscImage(files);
    for (std::size_t lba = 0; lba < image.size() / kSectorSize; ++lba) {
        const ByteSpan sector = ByteSpan(image).subspan(lba * kSectorSize, kSectorSize);
        Bytes expected(sector.begin(), sector.end());
        cdsector::writeHead(expected, static_cast<std::uint32_t>(lba));
        cdsector::encodeTail(expected);
        ASSERT_TRUE(std::ranges::equal(sector, expected)) << "sector " << lba << ": " << test::hex(sector.first(24));
    }
}

}  // namespace
}  // namespace tarvo
