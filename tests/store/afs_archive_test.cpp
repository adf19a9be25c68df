#include "store/afs_archive.h"

#include <gtest/gtest.h>

#include "disc_fixture.h"
#include "store/file_io.h"
#include "store/iso_file.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const std::string kForty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";

// Three entries over two blobs (entries 0 and 2 share one), the names after `zeroGap` zero bytes.
Bytes smallArchive(std::uint32_t zeroGap = 2048, const Bytes& other = test::patterned(5000, 2)) {
    sample::AfsBuilder builder;
    const auto a = builder.addBlob(test::patterned(3000, 1));
    const auto b = builder.addBlob(other);
    builder.addEntry(a, "voice/e/0001.adx");
    builder.addEntry(b, kForty);
    builder.addEntry(a, "//");
    return builder.build(zeroGap);
}

// `archive` with entry 0 (its offset and size, the u32s at 8 and 12) set.
Bytes withEntry0(Bytes archive, std::uint32_t offset, std::uint32_t size) {
    writeU32LE(archive, 8, offset);
    writeU32LE(archive, 12, size);
    return archive;
}

std::vector<sample::DiscFile> archiveDisc(const Bytes& archive) {
    return {{"QXRT_418.27", Bytes(16, 1)}, {"FILEDATA.AFS", archive}};
}

struct ArchiveOnDisc {
    explicit ArchiveOnDisc(const Bytes& bytes) : image(test::writeImage(dir, archiveDisc(bytes))) {
        archive.attach(file);
    }
    bool load() { return file.Find(image, "filedata.afs") && archive.LoadDirectory(memory); }
    TempDir dir;
    fs::path image;
    MessageLog log;
    IsoFile file{log};
    AfsArchive archive{log};
    AfsArchive::Table memory;
};

// Indices past the table (or of an archive never loaded) give nothing and write nothing: the
// image afterwards is exactly the one built with entry 1 changed.
TEST(AfsArchive, FindsTheNameTableAndReadsAndWritesEntries) {
    for (const std::uint32_t gap : {2000u, 0u, 32767u}) {
        SCOPED_TRACE(gap);
        ArchiveOnDisc disc(smallArchive(gap));
        ASSERT_TRUE(disc.load());
        AfsArchive& archive = disc.archive;
        ASSERT_EQ(archive.entryCount(), 3u);
        EXPECT_EQ(archive.nameTableOffset(), archive.GetOffset(2) + archive.GetSize(2) + gap);
        // At most 32 bytes, slashes shown as backslashes.
        EXPECT_EQ(archive.GetName(0) + "|" + archive.GetName(1) + "|" + archive.GetName(2),
                  "voice\\e\\0001.adx|" + kForty.substr(0, 32) + "|\\\\");
        Bytes got(archive.GetSize(2) + 10, 0xEE), tooSmall(archive.GetSize(1) - 1);
        ASSERT_TRUE(archive.ReadEntry(got, 2));
        EXPECT_TRUE(std::equal(got.begin(), got.end() - 10, test::patterned(3000, 1).begin()));
        EXPECT_TRUE(std::all_of(got.end() - 10, got.end(), [](auto b) { return b == 0xEE; }));
        EXPECT_FALSE(archive.ReadEntry(tooSmall, 1));
        AfsArchive neverLoaded(disc.log);
        for (const auto& [other, index] :
             {std::pair{&archive, 3u}, {&archive, 0xFFFFFFFFu}, {&neverLoaded, 0u}, {&neverLoaded, 16253u}}) {
            Bytes destination(8000, 0xEE);
            EXPECT_EQ(other->GetSize(index) + other->GetOffset(index), 0u) << index;
            EXPECT_EQ(other->GetName(index), "") << index;
            EXPECT_FALSE(other->ReadEntry(destination, index) || other->WriteEntry(Bytes(8000, 1), index)) << index;
            EXPECT_TRUE(std::all_of(destination.begin(), destination.end(), [](auto b) { return b == 0xEE; })) << index;
        }
        ASSERT_TRUE(archive.WriteEntry(test::patterned(5000, 3), 1));
        EXPECT_TRUE(test::readFile(disc.image) ==
                    sample::buildDiscImage(archiveDisc(smallArchive(gap, test::patterned(5000, 3)))));
        EXPECT_TRUE(disc.log.messages.empty());
    }
}

// Each malformed archive is refused with a message naming the problem; the tables loaded before
// stay as they were.
TEST(AfsArchive, RefusesMalformedArchives) {
    const Bytes good = smallArchive();
    const std::uint32_t goodEnd = *readU32LE(good, 24) + *readU32LE(good, 28);
    const std::uint32_t second = *readU32LE(good, 16);
    const auto withU32 = [&good](std::size_t offset, std::uint32_t value) {
        Bytes archive = good;
        writeU32LE(archive, offset, value);
        return archive;
    };
    const auto k = [](std::uint64_t n) { return std::to_string(n); };
    const std::string size = k(good.size()),
                      noNames = "has no name table within 32768 bytes after its last entry (offset " + k(goodEnd) + ")";
    const std::uint32_t oneTooMany = static_cast<std::uint32_t>((good.size() - 8) / 8 + 1);
    const std::vector<std::pair<Bytes, std::string>> cases{
        {Bytes(good.begin(), good.begin() + 7), "is too short (7 bytes) to hold an entry count"},
        {sample::AfsBuilder{}.build(), "holds no entries"},
        {withU32(4, 0xFFFFFFFF),
         "claims 4294967295 entries, but their table of 34359738360 bytes does not fit in the archive's " + size +
             " bytes"},
        {withU32(4, oneTooMany), "claims " + k(oneTooMany) + " entries, but their table of " + k(oneTooMany * 8ull) +
                                     " bytes does not fit in the archive's " + size + " bytes"},
        {withU32(20, static_cast<std::uint32_t>(good.size()) - second + 1),
         "has entry 1 (offset " + k(second) + ", size " + k(good.size() - second + 1) +
             ") running past the archive's end at " + size + " bytes"},
        {withU32(8, 0xFFFFFFF0),
         "has entry 0 (offset 4294967280, size 3000) running past the archive's end at " + size + " bytes"},
        // The table of three entries and the name table's offset and size end at byte 40.
        {withEntry0(good, 39, 1), "has entry 0 (offset 39, size 1) overlapping its entry table (bytes 0 to 39)"},
        {withEntry0(good, static_cast<std::uint32_t>(good.size()), 1),
         "has entry 0 (offset " + size + ", size 1) running past the archive's end at " + size + " bytes"},
        {smallArchive(32768), noNames},
        {Bytes(good.begin(), good.begin() + goodEnd + 100), noNames},
        {Bytes(good.begin(), good.end() - 1), "has a name table at offset " + k(goodEnd + 2048) +
                                                  " that needs 144 bytes, past the archive's end at " +
                                                  k(good.size() - 1) + " bytes"},
    };
    for (const auto& [archive, problem] : cases) {
        SCOPED_TRACE(problem);
        ArchiveOnDisc disc(good);
        ASSERT_TRUE(disc.load());
        const std::uint32_t names = disc.archive.nameTableOffset();
        TempDir badDir;
        const fs::path badImage = test::writeImage(badDir, archiveDisc(archive));
        ASSERT_TRUE(disc.file.Find(badImage, "filedata.afs"));
        EXPECT_FALSE(disc.archive.LoadDirectory(disc.memory));
        EXPECT_EQ(disc.log.messages, std::vector{test::error("FILEDATA.AFS in " + utf8Path(badImage) + " " + problem)});
        EXPECT_EQ(disc.archive.entryCount(), 3u);
        EXPECT_EQ(disc.archive.nameTableOffset(), names);
    }
}

// An entry may end at the archive's end, and one that holds data may start right after the table;
// an empty one may be anywhere up to the end.
TEST(AfsArchive, AcceptsEntriesAtTheLimits) {
    const Bytes good = smallArchive();
    const auto size = static_cast<std::uint32_t>(good.size());
    for (const auto& [offset, bytes] :
         {std::pair{40u, 1u}, {size - 1, 1u}, {40u, size - 40}, {0u, 0u}, {39u, 0u}, {size, 0u}}) {
        SCOPED_TRACE(std::to_string(offset) + "+" + std::to_string(bytes));
        ArchiveOnDisc disc(withEntry0(good, offset, bytes));
        EXPECT_TRUE(disc.load());
        EXPECT_EQ(disc.archive.GetOffset(0) + disc.archive.GetSize(0), offset + bytes);
        EXPECT_TRUE(disc.log.messages.empty());
    }
}

// Entries 16253 and 16256 are written back whole, and so is the boot file: an image where one of
// them lies over another, or over the archive's entry table, is refused at load with a message
// naming them, and nothing is written.
TEST(AfsArchive, OverlappingEntriesRefusedAtLoad) {
    const test::DiscBlocks blocks;
    const Bytes goodArchive = test::makeArchive(blocks);
    // Entry i's offset is the u32 at 8 + 8 i; its size follows.
    const std::uint32_t selectAt = *readU32LE(goodArchive, 8 + 8 * 16256);
    const std::uint32_t tableEnd = 8 + 8 * 16257 + 8;  // the table, then the name table's offset and size
    const auto withParameterAt = [&](std::uint32_t offset) {
        Bytes archive = goodArchive;
        writeU32LE(archive, 8 + 8 * 16253, offset);
        return archive;
    };
    const auto k = [](std::uint64_t n) { return std::to_string(n); };
    struct Case {
        std::string what;
        std::vector<sample::DiscFile> files;
        bool bootOverArchive;
        std::string message;  // with the image's path after "in "
    };
    const std::vector<Case> cases{
        {"16253 over 16256",
         {{"QXRT_418.27", blocks.boot}, {"FILEDATA.AFS", withParameterAt(selectAt - 2048)}},
         false,
         "filedata.afs entries 16253 (offset " + k(selectAt - 2048) + ", size 227410) and 16256 (offset " +
             k(selectAt) + ", size 413596) overlap in "},
        {"16253 over the entry table",
         {{"QXRT_418.27", blocks.boot}, {"FILEDATA.AFS", withParameterAt(tableEnd - 8)}},
         false,
         "FILEDATA.AFS in @ has entry 16253 (offset " + k(tableEnd - 8) +
             ", size 227410) overlapping its entry table (bytes 0 to " + k(tableEnd - 1) + ")"},
        {"boot file over the archive", {{"FILEDATA.AFS", goodArchive}, {"QXRT_418.27", blocks.boot}}, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const fs::path image = test::writeImage(dir, c.files);
        std::string expected = c.message;
        if (c.bootOverArchive) {
            // The boot file's extent moved onto the archive's last sector.
            MessageLog findLog;
            IsoFile archiveFile(findLog);
            ASSERT_TRUE(archiveFile.Find(image, "FILEDATA.AFS"));
            const std::uint32_t archiveLast = archiveFile.startSector() + (archiveFile.fileSize() + 2047) / 2048 - 1;
            test::patchDirectoryRecord(image, "QXRT_418.27", 2, archiveLast);
            expected = "QXRT_418.27 (sectors " + k(archiveLast) + " to " +
                       k(archiveLast + (2500484 + 2047) / 2048 - 1) + ") and filedata.afs (sectors " +
                       k(archiveFile.startSector()) + " to " + k(archiveLast) + ") overlap in ";
        }
        const auto at = expected.find('@');
        if (at != std::string::npos) expected.replace(at, 1, utf8Path(image));
        else expected += utf8Path(image) + "; a write-back would overwrite one with the other";
        const Bytes before = test::readFile(image);
        MessageLog log;
        DataStore store(log);
        EXPECT_FALSE(store.LoadFromImage(image));
        ASSERT_FALSE(log.messages.empty());
        EXPECT_EQ(log.messages.back().text, expected);
        EXPECT_FALSE(store.isLoaded());
        EXPECT_TRUE(test::readFile(image) == before);
        EXPECT_FALSE(fs::exists(fs::path(image) += ".tarvo-journal"));
    }
}

}  // namespace
}  // namespace tarvo
