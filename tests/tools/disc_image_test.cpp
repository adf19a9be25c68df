#include "sample/disc_image.h"

#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

#include "store/cd_sector.h"
#include "store/iso_file.h"
#include "store/disc_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
namespace cd = cdsector;

ByteSpan userData(const Bytes& image, std::size_t lba) {
    return ByteSpan(image).subspan(lba * cd::kSectorSize + cd::kUserDataOffset, cd::kUserDataSize);
}

std::uint32_t bothEndian32(ByteSpan data, std::size_t offset) {
    const auto le = readU32LE(data, offset);
    const auto be = readU32BE(data, offset + 4);
    EXPECT_EQ(le, be) << "at " << offset;
    return le.value_or(0);
}

TEST(DiscImage, EverySectorIsAValidMode2Form1Sector) {
    const Bytes image = sample::buildDiscImage({{"A.BIN", test::patterned(5000, 1)}, {"B.BIN", {}}});
    ASSERT_EQ(image.size() % cd::kSectorSize, 0u);
    for (std::size_t lba = 0; lba < image.size() / cd::kSectorSize; ++lba) {
        SCOPED_TRACE(lba);
        const ByteSpan sector = ByteSpan(image).subspan(lba * cd::kSectorSize, cd::kSectorSize);
        Bytes expected(sector.begin(), sector.end());
        cd::writeHead(expected, static_cast<std::uint32_t>(lba));
        cd::encodeTail(expected);
        ASSERT_EQ(test::hex(sector.first(16)), test::hex(ByteSpan(expected).first(16)));
        ASSERT_TRUE(std::ranges::equal(sector, expected));
        const std::uint8_t submode = sector[cd::kSubheaderOffset + 2];
        EXPECT_TRUE(submode == 0x08 || submode == 0x89);
        EXPECT_EQ(test::hex(sector.subspan(cd::kSubheaderOffset, 4)), test::hex(sector.subspan(cd::kSubheaderOffset + 4, 4)));
    }
}

TEST(DiscImage, DescribesTheFilesInAVolumeDescriptorAndTheRootDirectory) {
    const std::vector<sample::DiscFile> files = {
        {"QXRT_418.27", test::patterned(2 * 2048 + 1, 2)},
        {"FILEDATA.AFS", test::patterned(2048, 3)},
        {"EMPTY.BIN", {}},
    };
    const Bytes image = sample::buildDiscImage(files, {.rootDirectorySector = 22, .firstFileSector = 40});
    const std::size_t sectors = image.size() / cd::kSectorSize;
    EXPECT_EQ(sectors, 40u + 2 + 1 + 1 + 1);

    const ByteSpan pvd = userData(image, 16);
    EXPECT_EQ(pvd[0], 1);
    EXPECT_EQ(std::string(pvd.begin() + 1, pvd.begin() + 6), "CD001");
    EXPECT_EQ(bothEndian32(pvd, 80), sectors);
    EXPECT_EQ(*readU16LE(pvd, 128), 2048);
    EXPECT_EQ(*readU16BE(pvd, 130), 2048);
    EXPECT_EQ(bothEndian32(pvd, 156 + 2), 22u);  // the root directory's record
    const ByteSpan terminator = userData(image, 17);
    EXPECT_EQ(terminator[0], 255);
    EXPECT_EQ(std::string(terminator.begin() + 1, terminator.begin() + 6), "CD001");
    EXPECT_TRUE(std::all_of(userData(image, 0).begin(), userData(image, 0).end(), [](auto b) { return b == 0; }));

    // ".", "..", then the files with ";1", their extents and sizes both-endian.
    const ByteSpan root = userData(image, 22);
    struct Want {
        std::string name;
        std::uint32_t extent;
        std::uint32_t size;
    };
    const Want wants[] = {{std::string(1, '\0'), 22, 2048}, {std::string(1, '\1'), 22, 2048},
                          {"QXRT_418.27;1", 40, 4097}, {"FILEDATA.AFS;1", 43, 2048}, {"EMPTY.BIN;1", 44, 0}};
    std::size_t at = 0;
    for (const Want& w : wants) {
        SCOPED_TRACE(test::hex(root.subspan(at, 34)));
        const std::size_t length = root[at];
        ASSERT_EQ(length, 33 + w.name.size() + (w.name.size() % 2 == 0 ? 1 : 0));
        EXPECT_EQ(std::string(root.begin() + at + 33, root.begin() + at + 33 + root[at + 32]), w.name);
        EXPECT_EQ(bothEndian32(root, at + 2), w.extent);
        EXPECT_EQ(bothEndian32(root, at + 10), w.size);
        at += length;
    }
    EXPECT_EQ(root[at], 0);
    // The files' bytes from their extents on.
    for (const auto& [index, extent] : {std::pair{0u, 40u}, std::pair{1u, 43u}}) {
        const Bytes& data = files[index].data;
        for (std::size_t s = 0; s * 2048 < data.size(); ++s) {
            const ByteSpan user = userData(image, extent + s);
            const std::size_t n = std::min<std::size_t>(2048, data.size() - s * 2048);
            EXPECT_TRUE(std::equal(user.begin(), user.begin() + static_cast<std::ptrdiff_t>(n), data.begin() + static_cast<std::ptrdiff_t>(s * 2048)));
        }
    }
}

TEST(DiscImage, PadsTheWrittenImageToTheAskedSize) {
    test::TempDir dir;
    const std::vector<sample::DiscFile> files = {{"A.BIN", Bytes(100, 1)}};
    const Bytes image = sample::buildDiscImage(files);
    struct Case {
        std::uint64_t padTo;
        std::uint64_t size;
    };
    for (const Case c : {Case{0, image.size()}, Case{100, image.size()}, Case{700000000, 700000000}}) {
        const fs::path file = dir / ("pad" + std::to_string(c.padTo) + ".bin");
        ASSERT_TRUE(sample::writeDiscImage(file, files, c.padTo));
        EXPECT_EQ(fs::file_size(file), c.size);
        Bytes head(image.size());
        std::ifstream in(file, std::ios::binary);
        in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
        EXPECT_TRUE(head == image);
    }
    EXPECT_FALSE(sample::writeDiscImage(dir / "missing" / "x.bin", files));
}

TEST(AfsBuilder, LaysOutCountTableBlobsGapAndNames) {
    sample::AfsBuilder builder;
    const Bytes a = test::patterned(3000, 4), b = test::patterned(10, 5);
    const auto blobA = builder.addBlob(a);
    const auto blobB = builder.addBlob(b);
    builder.addEntry(blobA, "A.ADX");
    builder.addEntry(blobB, "B.ADX");
    builder.addEntry(blobA, std::string(40, 'N'));
    for (std::uint32_t gap : {0u, 2000u, 2048u}) {
        SCOPED_TRACE(gap);
        const Bytes archive = builder.build(gap);
        EXPECT_EQ(std::string(archive.begin(), archive.begin() + 4), std::string("AFS\0", 4));
        EXPECT_EQ(*readU32LE(archive, 4), 3u);
        std::uint32_t offsets[3], sizes[3];
        for (int i = 0; i < 3; ++i) {
            offsets[i] = *readU32LE(archive, 8 + 8 * i);
            sizes[i] = *readU32LE(archive, 12 + 8 * i);
            EXPECT_EQ(offsets[i] % 2048, 0u);
        }
        EXPECT_EQ(offsets[0], offsets[2]);  // a shared blob
        EXPECT_EQ(sizes[0], a.size());
        EXPECT_EQ(sizes[1], b.size());
        EXPECT_TRUE(std::equal(a.begin(), a.end(), archive.begin() + offsets[0]));
        EXPECT_TRUE(std::equal(b.begin(), b.end(), archive.begin() + offsets[1]));
        // The last entry's data is the last data; the names follow it after the gap.
        const std::size_t end = offsets[2] + sizes[2];
        EXPECT_GT(offsets[2], offsets[1]);
        ASSERT_EQ(archive.size(), end + gap + 3 * 48);
        EXPECT_TRUE(std::all_of(archive.begin() + static_cast<std::ptrdiff_t>(end), archive.begin() + static_cast<std::ptrdiff_t>(end + gap),
                                [](auto x) { return x == 0; }));
        const auto names = archive.begin() + static_cast<std::ptrdiff_t>(end + gap);
        EXPECT_EQ(std::string(names, names + 6), std::string("A.ADX\0", 6));
        EXPECT_EQ(std::string(names + 48, names + 54), std::string("B.ADX\0", 6));
        EXPECT_EQ(std::string(names + 96, names + 144), std::string(40, 'N') + std::string(8, '\0'));
    }
}

}  // namespace
}  // namespace tarvo
