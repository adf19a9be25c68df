#include "store/iso_file.h"

#include <fstream>
#include <limits>

#include <gtest/gtest.h>

#include "disc_fixture.h"
#include "store/cd_sector.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

constexpr std::size_t kFileSize = 3 * kUserDataSize + 500;  // four sectors, the last one partly used

std::vector<sample::DiscFile> dataDisc(const Bytes& data) {
    return {{"SYSTEM.CNF", Bytes{'B', 'O', 'O', 'T'}}, {"DATA.BIN", data}, {"TAIL.BIN", Bytes(10, 0x5A)}};
}

// Every sector of an image: sync and header as written for its address, and valid codes.
void expectSectorsValid(const Bytes& image) {
    ASSERT_EQ(image.size() % kRawSectorSize, 0u);
    for (std::size_t lba = 0; lba < image.size() / kRawSectorSize; ++lba) {
        SCOPED_TRACE("sector " + std::to_string(lba));
        const ByteSpan sector = ByteSpan(image).subspan(lba * kRawSectorSize, kRawSectorSize);
        Bytes expected(sector.begin(), sector.end());
        cdsector::writeHead(expected, static_cast<std::uint32_t>(lba));
        cdsector::encodeTail(expected);
        ASSERT_EQ(test::hex(sector.first(16)), test::hex(ByteSpan(expected).first(16)));
        ASSERT_TRUE(std::equal(sector.begin(), sector.end(), expected.begin())) << "tail not valid";
    }
}

struct Range {
    std::uint64_t offset;
    std::size_t count;
    const char* what;
};

constexpr Range kRanges[] = {
    {2047, 1, "last user byte of the first sector"},
    {2047, 2, "across the first sector boundary"},
    {100, 5000, "1948, 2048 and 1004 bytes from three sectors"},
    {0, kFileSize, "the whole file"},
    {kFileSize - 1, 1, "the last byte"},
    {4096, 0, "nothing"},
};

class IsoFileTest : public ::testing::Test {
protected:
    Bytes data = test::patterned(kFileSize, 7);
    TempDir dir;
    fs::path image = test::writeImage(dir, dataDisc(data));
    MessageLog log;
};

TEST_F(IsoFileTest, ReadsRangesAcrossSectorBoundaries) {
    IsoFile file(log);
    ASSERT_TRUE(file.Find(image, "DATA.BIN"));
    EXPECT_EQ(file.fileSize(), kFileSize);
    ASSERT_TRUE(file.Open(IsoFile::Mode::Read));
    for (const Range& r : kRanges) {
        SCOPED_TRACE(r.what);
        Bytes got(r.count, 0xEE);
        ASSERT_TRUE(file.Read(r.offset, got));
        const auto from = data.begin() + static_cast<std::ptrdiff_t>(r.offset);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), from)) << test::hex(ByteSpan(got).first(std::min<std::size_t>(8, got.size())));
    }
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(IsoFileTest, WritesRangesInPlaceWithValidCodesAndUnchangedHeads) {
    for (const Range& r : kRanges) {
        SCOPED_TRACE(r.what);
        TempDir writeDir;
        const fs::path target = test::writeImage(writeDir, dataDisc(data));
        const Bytes update = test::patterned(r.count, 99);
        IsoFile file(log);
        ASSERT_TRUE(file.Find(target, "data.bin"));
        ASSERT_TRUE(file.Open(IsoFile::Mode::ReadWrite));
        ASSERT_TRUE(file.Write(r.offset, update));
        file.Close();

        // The image must be exactly the one built with the changed file: same heads, same
        // untouched bytes, and codes recomputed for the changed sectors.
        Bytes changed = data;
        std::copy(update.begin(), update.end(), changed.begin() + static_cast<std::ptrdiff_t>(r.offset));
        const Bytes got = test::readFile(target);
        const Bytes want = sample::buildDiscImage(dataDisc(changed));
        ASSERT_EQ(got.size(), want.size());
        const auto diff = std::mismatch(got.begin(), got.end(), want.begin());
        EXPECT_TRUE(diff.first == got.end()) << "first difference at image byte " << (diff.first - got.begin());
        expectSectorsValid(got);
    }
}

TEST_F(IsoFileTest, WriteKeepsATailThatWasNotValid) {
    IsoFile file(log);
    ASSERT_TRUE(file.Find(image, "DATA.BIN"));
    // Images ripped without codes carry zero tails; the second sector of the file is such a one.
    Bytes raw = test::readFile(image);
    const std::size_t second = (std::size_t{file.startSector()} + 1) * kRawSectorSize;
    std::fill_n(raw.begin() + static_cast<std::ptrdiff_t>(second + cdsector::kTailOffset), kSectorTailSize, 0);
    test::writeFile(image, raw);

    const Bytes update = test::patterned(5000, 3);
    ASSERT_TRUE(file.Open(IsoFile::Mode::ReadWrite));
    ASSERT_TRUE(file.Write(100, update));
    file.Close();
    const Bytes got = test::readFile(image);
    for (std::size_t s = 0; s < 3; ++s) {
        SCOPED_TRACE("file sector " + std::to_string(s));
        const std::size_t at = (std::size_t{file.startSector()} + s) * kRawSectorSize;
        const ByteSpan sector = ByteSpan(got).subspan(at, kRawSectorSize);
        const ByteSpan tail = sector.subspan(cdsector::kTailOffset);
        if (s == 1)
            EXPECT_TRUE(std::all_of(tail.begin(), tail.end(), [](auto b) { return b == 0; }));
        else
            EXPECT_TRUE(cdsector::hasValidEdc(sector));
        EXPECT_TRUE(std::equal(sector.begin(), sector.begin() + kUserDataOffset, raw.begin() + static_cast<std::ptrdiff_t>(at)));
    }
    Bytes back(update.size());
    ASSERT_TRUE(file.Open(IsoFile::Mode::Read));
    ASSERT_TRUE(file.Read(100, back));
    EXPECT_EQ(back, update);
}

TEST_F(IsoFileTest, RefusesRangesOutsideTheFileAndChangesNothing) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    const Range outside[] = {
        {kFileSize, 1, "one past the end"},
        {kFileSize - 1, 2, "running over the end"},
        {0, kFileSize + 1, "one byte longer than the file"},
        {kMax, 1, "an offset that would wrap"},
    };
    const auto before = test::fileChecksum(image);
    IsoFile file(log);
    ASSERT_TRUE(file.Find(image, "DATA.BIN"));
    for (const Range& r : outside) {
        SCOPED_TRACE(r.what);
        log.messages.clear();
        Bytes got(r.count, 0xEE);
        ASSERT_TRUE(file.Open(IsoFile::Mode::ReadWrite));
        EXPECT_FALSE(file.Read(r.offset, got));
        EXPECT_TRUE(std::all_of(got.begin(), got.end(), [](auto b) { return b == 0xEE; }));
        EXPECT_FALSE(file.Write(r.offset, got));
        file.Close();
        ASSERT_EQ(log.messages.size(), 2u);
        EXPECT_EQ(log.messages[0].caption, "ERROR");
        EXPECT_NE(log.messages[0].text.find("the file holds " + std::to_string(kFileSize) + " bytes"), std::string::npos)
            << log.messages[0].text;
    }
    EXPECT_EQ(test::fileChecksum(image), before);
}

TEST_F(IsoFileTest, RefusesWritingThroughAReadOnlyOpen) {
    const auto before = test::fileChecksum(image);
    IsoFile file(log);
    ASSERT_TRUE(file.Find(image, "DATA.BIN"));
    ASSERT_TRUE(file.Open(IsoFile::Mode::Read));
    EXPECT_FALSE(file.Write(0, Bytes(10, 1)));
    file.Close();
    Bytes ten(10);
    EXPECT_FALSE(file.Read(0, ten));  // closed
    EXPECT_EQ(test::fileChecksum(image), before);
}

TEST_F(IsoFileTest, RefusesAFileThatRunsPastTheEndOfTheImage) {
    IsoFile file(log);
    ASSERT_TRUE(file.Find(image, "DATA.BIN"));
    // Cut the image inside the file's third sector.
    fs::resize_file(image, (std::uint64_t{file.startSector()} + 2) * kRawSectorSize + 1000);
    const auto before = test::fileChecksum(image);
    ASSERT_TRUE(file.Open(IsoFile::Mode::ReadWrite));
    Bytes head(2 * kUserDataSize);
    EXPECT_TRUE(file.Read(0, head));
    Bytes all(kFileSize, 0xEE);
    EXPECT_FALSE(file.Read(0, all));
    EXPECT_FALSE(file.Write(2 * kUserDataSize, Bytes(10, 1)));  // its sector is not whole
    file.Close();
    EXPECT_EQ(test::fileChecksum(image), before);
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_NE(log.messages[0].text.find("runs past the end of " + image.string()), std::string::npos) << log.messages[0].text;
}

struct Lookup {
    const char* sought;
    bool found;
    const char* what;
};

TEST(IsoFileFind, FindsNamesInTheRootDirectoryRegardlessOfCaseAndVersion) {
    TempDir dir;
    const std::vector<sample::DiscFile> files = {
        {"XQXRZ_730.56", Bytes(3, 1)},   // hold the sought name inside longer names
        {"QXRZ_730.56X", Bytes(4, 2)},
        {"QXRZ_730.56", Bytes(5, 3)},
        {"FILEDATA.AFS", Bytes(6, 4)},
    };
    const fs::path image = test::writeImage(dir, files);
    struct Lookup {
        const char* sought;
        std::uint32_t size;  // 0: not found
        const char* what;
    };
    const Lookup lookups[] = {
        {"QXRZ_730.56", 5, "the whole name, not the one inside XQXRZ_730.56;1 or QXRZ_730.56X;1"},
        {"qxrz_730.56", 5, "lower case"},
        {"filedata.afs", 6, "found as FILEDATA.AFS;1"},
        {"QXRZ_730.56X", 4, "the longer name itself"},
        {"QXRZ_730.5", 0, "a prefix of a name"},
        {"QXRT_418.27", 0, "a name that is not there"},
        {"filedata.afs;2", 0, "another version"},
        {"", 0, "an empty name"},
    };
    for (const Lookup& l : lookups) {
        SCOPED_TRACE(l.what);
        MessageLog log;
        IsoFile file(log);
        EXPECT_EQ(file.Find(image, l.sought), l.size != 0);
        if (l.size != 0) {
            EXPECT_TRUE(log.messages.empty());
            EXPECT_EQ(file.fileSize(), l.size);
            Bytes content(l.size);
            ASSERT_TRUE(file.Open(IsoFile::Mode::Read));
            ASSERT_TRUE(file.Read(0, content));
            EXPECT_EQ(content, std::find_if(files.begin(), files.end(), [&](const auto& f) { return f.data.size() == l.size; })->data);
        } else {
            ASSERT_EQ(log.messages.size(), 1u);
            EXPECT_EQ(log.messages[0], (Message{std::string(l.sought) + " not found in " + image.string(), "ERROR",
                                                MessageKind::ReaderError}));
        }
    }
    // A failed lookup keeps the last location.
    MessageLog log;
    IsoFile file(log);
    ASSERT_TRUE(file.Find(image, "QXRZ_730.56X"));
    const std::uint32_t start = file.startSector();
    EXPECT_FALSE(file.Find(image, "NONE"));
    EXPECT_EQ(file.startSector(), start);
    EXPECT_EQ(file.fileSize(), 4u);
}

TEST(IsoFileFind, DoesNotSeeRecordsBeyondTheSearchedSectors) {
    TempDir dir;
    // 44-byte records, 46 to a sector: the first 734 files lie in sectors 22 to 37.
    std::vector<sample::DiscFile> files;
    for (int i = 0; i < 800; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "F%04d.BIN", i);
        files.push_back({name, Bytes(1, static_cast<std::uint8_t>(i))});
    }
    const fs::path image = test::writeImage(dir, files, 0, {.rootDirectorySector = 22, .firstFileSector = 100});
    MessageLog log;
    IsoFile file(log);
    EXPECT_TRUE(file.Find(image, "F0000.BIN"));
    EXPECT_TRUE(file.Find(image, "F0700.BIN"));
    EXPECT_FALSE(file.Find(image, "F0799.BIN"));
    EXPECT_EQ(test::texts(log), std::vector<std::string>{"F0799.BIN not found in " + image.string()});

    TempDir late;
    const fs::path lateImage = test::writeImage(late, {{"QXRT_418.27", Bytes(4, 1)}}, 0, {.rootDirectorySector = 38, .firstFileSector = 40});
    EXPECT_FALSE(file.Find(lateImage, "QXRT_418.27"));
}

TEST(IsoFileFind, RefusesImagesThatCannotHoldTheSearchedSectors) {
    TempDir dir;
    const fs::path image = test::writeImage(dir, {{"QXRT_418.27", Bytes(4, 1)}});
    const std::uint64_t needed = 37 * kRawSectorSize + kUserDataOffset + kUserDataSize;
    struct Case {
        std::uint64_t size;
        bool found;
    };
    for (const Case c : {Case{needed, true}, Case{needed - 1, false}, Case{0, false}}) {
        SCOPED_TRACE(c.size);
        fs::resize_file(image, c.size);
        MessageLog log;
        IsoFile file(log);
        EXPECT_EQ(file.Find(image, "QXRT_418.27"), c.found);
        if (!c.found) {
            ASSERT_EQ(log.messages.size(), 1u);
            EXPECT_EQ(log.messages[0].caption, "ERROR");
            EXPECT_EQ(log.messages[0].text, image.string() + " is too short (" + std::to_string(c.size) +
                                                " bytes) to hold the root directory in sectors 22 to 37");
        }
    }
}

TEST(IsoFileFind, ShowsTheOpenFailureOnlyWhenTheImageCannotBeOpened) {
    TempDir dir;
    for (const fs::path& path : {dir / "missing.bin", dir.path()}) {
        MessageLog log;
        IsoFile file(log);
        EXPECT_FALSE(file.Find(path, "QXRT_418.27"));
        EXPECT_EQ(log.messages, (std::vector<Message>{{"Can not open ISO file!", "ERROR", MessageKind::ReaderError}}));
    }
}

// Positions past 4 GiB: the file's sectors moved far into a sparse image.
TEST(IsoFileLarge, ReadsAndWritesBeyondFourGibibytes) {
    TempDir dir;
    const Bytes data = test::patterned(kFileSize, 5);
    const fs::path image = test::writeImage(dir, {{"FAR.BIN", data}});
    MessageLog log;
    IsoFile file(log);
    ASSERT_TRUE(file.Find(image, "FAR.BIN"));
    const std::uint32_t farSector = 1'830'000;  // starts at 4304160000, past 2^32
    const Bytes raw = test::readFile(image);
    test::patchDirectoryRecord(image, "FAR.BIN", 2, farSector);
    {
        std::fstream out(image, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(static_cast<std::streamoff>(std::uint64_t{farSector} * kRawSectorSize));
        out.write(reinterpret_cast<const char*>(raw.data()) + std::size_t{file.startSector()} * kRawSectorSize,
                  4 * kRawSectorSize);
        ASSERT_TRUE(out.good());
    }
    ASSERT_TRUE(file.Find(image, "FAR.BIN"));
    ASSERT_EQ(file.startSector(), farSector);
    Bytes got(kFileSize);
    ASSERT_TRUE(file.Open(IsoFile::Mode::ReadWrite));
    ASSERT_TRUE(file.Read(0, got));
    EXPECT_EQ(got, data);
    const Bytes update = test::patterned(300, 8);
    ASSERT_TRUE(file.Write(2000, update));
    std::copy(update.begin(), update.end(), got.begin() + 2000);
    Bytes back(kFileSize);
    ASSERT_TRUE(file.Read(0, back));
    EXPECT_EQ(back, got);
    file.Close();
    EXPECT_TRUE(log.messages.empty());
}

}  // namespace
}  // namespace tarvo
