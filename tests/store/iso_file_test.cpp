#include "store/iso_file.h"

#include <fstream>
#include <limits>

#include <gtest/gtest.h>

#include "disc_fixture.h"
#include "store/cd_sector.h"
#include "store/file_io.h"
#include "support/platform.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::error;
using test::TempDir;

constexpr std::size_t kFileSize = 3 * kUserDataSize + 500;  // four sectors, the last one partly used

std::vector<sample::DiscFile> dataDisc(const Bytes& data) {
    return {{"SYSTEM.CNF", Bytes{'B', 'O', 'O', 'T'}}, {"DATA.BIN", data}, {"TAIL.BIN", Bytes(10, 0x5A)}};
}

// Images ripped without codes carry zero tails: the file's second sector has one, which a write
// must leave alone. Otherwise the image written must equal the one built with the changed file:
// same heads, same untouched bytes, codes recomputed.
TEST(IsoFile, ReadsAndWritesRangesAcrossSectorBoundaries) {
    const Bytes data = test::patterned(kFileSize, 7);
    const auto zeroSecondTail = [](Bytes& image, std::size_t start) {
        std::fill_n(image.begin() + static_cast<std::ptrdiff_t>((start + 1) * kSectorSize + cdsector::kTailOffset), 280,
                    0);  // the tail: EDC, reserved bytes, P and Q parity
    };
    for (const auto& [offset, count] :
         {std::pair<std::uint64_t, std::size_t>{2047, 1}, {2047, 2}, {100, 5000}, {0, kFileSize}, {kFileSize - 1, 1}}) {
        SCOPED_TRACE(std::to_string(count) + " bytes at " + std::to_string(offset));
        TempDir dir;
        const fs::path image = test::writeImage(dir, dataDisc(data));
        MessageLog log;
        IsoFile file(log);
        ASSERT_TRUE(file.Find(image, "data.bin"));
        Bytes raw = test::readFile(image);
        zeroSecondTail(raw, file.startSector());
        test::writeFile(image, raw);
        ASSERT_TRUE(file.Open(IsoFile::Mode::ReadWrite));
        Bytes got(count, 0xEE);
        ASSERT_TRUE(file.Read(offset, got));
        EXPECT_TRUE(std::equal(got.begin(), got.end(), data.begin() + static_cast<std::ptrdiff_t>(offset)));
        const Bytes update = test::patterned(count, 99);
        ASSERT_TRUE(file.Write(offset, update));
        file.Close();
        Bytes changed = data;
        std::ranges::copy(update, changed.begin() + static_cast<std::ptrdiff_t>(offset));
        Bytes want = sample::buildDiscImage(dataDisc(changed));
        zeroSecondTail(want, file.startSector());
        const Bytes after = test::readFile(image);
        ASSERT_EQ(after.size(), want.size());
        const auto diff = std::mismatch(after.begin(), after.end(), want.begin());
        EXPECT_TRUE(diff.first == after.end()) << "first difference at image byte " << (diff.first - after.begin());
        EXPECT_TRUE(log.messages.empty());
    }
}

// Plans of a file of 300 sectors (read and changed a few dozen sectors at a time), the second plan
// changing sectors the first planned, give the image built with both changes; a sector ripped
// without codes keeps its zero tail.
TEST(IsoFile, LargeAndOverlappingPlansWriteWhatTheChangedFileHolds) {
    constexpr std::size_t kSectors = 300;
    const Bytes data = test::patterned(kSectors * kUserDataSize - 100, 3);
    TempDir dir;
    const fs::path image = test::writeImage(dir, dataDisc(data));
    MessageLog log;
    IsoFile file(log);
    ASSERT_TRUE(file.Find(image, "DATA.BIN"));
    const std::size_t zeroTailSector = file.startSector() + 150;
    Bytes raw = test::readFile(image);
    std::fill_n(raw.begin() + static_cast<std::ptrdiff_t>(zeroTailSector * kSectorSize + cdsector::kTailOffset), 280,
                0);
    test::writeFile(image, raw);

    Bytes changed = data;
    const Bytes first = test::patterned(data.size() - 5000, 4), second = test::patterned(3 * kUserDataSize, 5);
    SectorOverlay sectors(kSectorSize);
    ASSERT_TRUE(file.Open(IsoFile::Mode::ReadWrite));
    ASSERT_TRUE(file.planWrite(1000, first, sectors));
    ASSERT_TRUE(file.planWrite(40 * kUserDataSize + 7, second, sectors));
    std::ranges::copy(first, changed.begin() + 1000);
    std::ranges::copy(second, changed.begin() + 40 * kUserDataSize + 7);
    file.Close();
    ASSERT_TRUE(file.Open(IsoFile::Mode::ReadWrite));
    for (const RawRun& run : sectors.takeRuns()) {
        std::fstream out(image, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(static_cast<std::streamoff>(run.position));
        out.write(reinterpret_cast<const char*>(run.bytes.data()), static_cast<std::streamsize>(run.bytes.size()));
    }
    file.Close();
    Bytes want = sample::buildDiscImage(dataDisc(changed));
    std::fill_n(want.begin() + static_cast<std::ptrdiff_t>(zeroTailSector * kSectorSize + cdsector::kTailOffset), 280,
                0);
    const Bytes after = test::readFile(image);
    ASSERT_EQ(after.size(), want.size());
    const auto diff = std::mismatch(after.begin(), after.end(), want.begin());
    EXPECT_TRUE(diff.first == after.end()) << "first difference at image byte " << (diff.first - after.begin());
    EXPECT_TRUE(log.messages.empty());
}

// A later plan takes the sectors it replaces out of the runs planned before, which keep the rest.
TEST(SectorOverlay, ALaterPlanReplacesTheSectorsItCovers) {
    SectorOverlay sectors(2);  // two-byte sectors, so that the runs can be written out here
    sectors.add(10, Bytes{'a', 'a', 'b', 'b', 'c', 'c', 'd', 'd'});  // sectors 10 to 13
    sectors.add(11, Bytes{'X', 'X'});
    sectors.add(8, Bytes{'Y', 'Y', 'Y', 'Y', 'Y', 'Y'});  // 8 to 10
    sectors.add(13, Bytes{'Z', 'Z', 'Z', 'Z'});           // 13 and 14
    EXPECT_EQ(test::hex(sectors.find(12)), "63 63");
    EXPECT_TRUE(sectors.find(7).empty() && sectors.find(15).empty());
    std::string runs;
    for (const RawRun& run : sectors.takeRuns())
        runs += std::to_string(run.position) + ":" + std::string(run.bytes.begin(), run.bytes.end()) + " ";
    EXPECT_EQ(runs, "16:YYYYYY 22:XX 24:cc 26:ZZZZ ");
    EXPECT_TRUE(sectors.empty());
}

TEST(IsoFile, RefusesRangesOutsideTheFileOrTheImageAndChangesNothing) {
    TempDir dir;
    const fs::path image = test::writeImage(dir, dataDisc(test::patterned(kFileSize, 7)));
    const auto before = test::fileChecksum(image);
    MessageLog log;
    IsoFile file(log);
    ASSERT_TRUE(file.Find(image, "DATA.BIN"));
    for (const auto& [offset, count] : {std::pair<std::uint64_t, std::size_t>{kFileSize, 1},
                                        {kFileSize - 1, 2},
                                        {0, kFileSize + 1},
                                        {std::numeric_limits<std::uint64_t>::max(), 1}}) {
        SCOPED_TRACE(offset);
        log.messages.clear();
        Bytes got(count, 0xEE);
        ASSERT_TRUE(file.Open(IsoFile::Mode::ReadWrite));
        EXPECT_FALSE(file.Read(offset, got) || file.Write(offset, got));
        file.Close();
        EXPECT_TRUE(std::ranges::all_of(got, [](auto b) { return b == 0xEE; }));
        ASSERT_EQ(log.messages.size(), 2u);
        EXPECT_NE(log.messages[0].text.find("the file holds 6644 bytes"), std::string::npos) << log.messages[0].text;
    }
    EXPECT_EQ(test::fileChecksum(image), before);
}

TEST(IsoFile, FindsWholeNamesInTheSearchedRootDirectorySectors) {
    TempDir dir;
    const fs::path image = test::writeImage(dir, {{"XQXRZ_730.56", Bytes(3, 1)},
                                                  {"QXRZ_730.56X", Bytes(4, 2)},
                                                  {"QXRZ_730.56", Bytes(5, 3)},
                                                  {"FILEDATA.AFS", Bytes(6, 4)}});
    const std::pair<const char*, std::uint32_t> lookups[] = {
        // sought, size (0: not found)
        {"QXRZ_730.56", 5}, {"qxrz_730.56", 5}, {"filedata.afs", 6},   {"QXRZ_730.56X", 4},
        {"QXRZ_730.5", 0},  {"QXRT_418.27", 0}, {"filedata.afs;2", 0}, {"", 0}};
    for (const auto& [sought, size] : lookups) {
        SCOPED_TRACE(sought);
        MessageLog log;
        IsoFile file(log);
        EXPECT_EQ(file.Find(image, sought), size != 0);
        EXPECT_EQ(size ? file.fileSize() : 0u, size);
        EXPECT_EQ(log.messages, size ? std::vector<Message>{}
                                     : std::vector{error(std::string(sought) + " not found in " + utf8Path(image))});
    }
    // 44-byte records, 46 to a sector: of 800 files the first 734 lie in sectors 22 to 37.
    std::vector<sample::DiscFile> files;
    for (int i = 0; i < 800; ++i) files.push_back({"F" + std::to_string(1000 + i) + ".BIN", Bytes(1, 1)});
    TempDir many;
    const fs::path manyImage = test::writeImage(many, files, {.rootDirectorySector = 22, .firstFileSector = 100});
    MessageLog log;
    IsoFile file(log);
    EXPECT_TRUE(file.Find(manyImage, "F1700.BIN"));
    EXPECT_FALSE(file.Find(manyImage, "F1799.BIN"));
    // An image too short for sectors 22 to 37, or none at all, is refused.
    const std::uint64_t needed = 37 * kSectorSize + kUserDataOffset + kUserDataSize;
    for (const std::uint64_t size : {needed, needed - 1, std::uint64_t{0}}) {
        SCOPED_TRACE(size);
        fs::resize_file(manyImage, size);
        log.messages.clear();
        EXPECT_EQ(file.Find(manyImage, "F1700.BIN"), size == needed);
        const std::string tooShort = utf8Path(manyImage) + " is too short (" + std::to_string(size) +
                                     " bytes) to hold the root directory in sectors 22 to 37";
        EXPECT_EQ(log.messages, size == needed ? std::vector<Message>{} : std::vector{error(tooShort)});
    }
    // One that cannot be opened is named, with the reason.
    for (const auto& [path, reason] : {std::pair{dir / "missing.bin", "No such file or directory"},
                                       std::pair{dir.path(), "it is not a regular file"}}) {
        log.messages.clear();
        EXPECT_FALSE(file.Find(path, "QXRT_418.27"));
        EXPECT_EQ(log.messages,
                  std::vector{error("Can not open ISO file! " + utf8Path(path) + " (" + std::string(reason) + ")")});
    }
}

// The file's sectors moved past 4 GiB in a sparse image.
TEST(IsoFile, ReadsAndWritesBeyondFourGibibytes) {
    TempDir dir;
    if (!test::makesHoles(dir.path())) TARVO_SKIP("the file system makes no holes: the image would take 4 GiB");
    const Bytes data = test::patterned(kFileSize, 5);
    const fs::path image = test::writeImage(dir, {{"FAR.BIN", data}});
    MessageLog log;
    IsoFile file(log);
    ASSERT_TRUE(file.Find(image, "FAR.BIN"));
    const std::uint32_t farSector = 1'830'000;  // starts at 4304160000, past 2^32
    const Bytes raw = test::readFile(image);
    test::patchDirectoryRecord(image, "FAR.BIN", 2, farSector);
    std::fstream out(image, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(static_cast<std::streamoff>(std::uint64_t{farSector} * kSectorSize));
    out.write(reinterpret_cast<const char*>(raw.data()) + std::size_t{file.startSector()} * kSectorSize,
              4 * kSectorSize);
    out.close();
    ASSERT_TRUE(file.Find(image, "FAR.BIN"));
    ASSERT_EQ(file.startSector(), farSector);
    ASSERT_TRUE(file.Open(IsoFile::Mode::ReadWrite));
    Bytes got(kFileSize), want = data;
    ASSERT_TRUE(file.Write(2000, Bytes(300, 0x3C)));
    std::fill_n(want.begin() + 2000, 300, 0x3C);
    ASSERT_TRUE(file.Read(0, got));
    EXPECT_EQ(got, want);
    EXPECT_TRUE(log.messages.empty());
}

}  // namespace
}  // namespace tarvo
