#include "store/afs_archive.h"

#include <functional>

#include <gtest/gtest.h>

#include "disc_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// An archive of three entries over two blobs (entries 0 and 2 share one).
struct SmallArchive {
    Bytes clip = test::patterned(3000, 1);
    Bytes other = test::patterned(5000, 2);
    std::vector<std::string> names{"FIRST.ADX", "SECOND.ADX", "THIRD.ADX"};

    Bytes build(std::uint32_t zeroGap = 2048) const {
        sample::AfsBuilder builder;
        const auto a = builder.addBlob(clip);
        const auto b = builder.addBlob(other);
        builder.addEntry(a, names[0]);
        builder.addEntry(b, names[1]);
        builder.addEntry(a, names[2]);
        return builder.build(zeroGap);
    }
};

fs::path imageWithArchive(const TempDir& dir, const Bytes& archive) {
    return test::writeImage(dir, {{"QXRT_418.27", Bytes(16, 1)}, {"FILEDATA.AFS", archive}});
}

// An image holding `bytes` as its archive, and an archive object located in it.
struct ArchiveOnDisc {
    explicit ArchiveOnDisc(const Bytes& bytes) : image(imageWithArchive(dir, bytes)) {}
    bool load() { return archive.Find(image, "filedata.afs") && archive.LoadDirectory(); }

    TempDir dir;
    fs::path image;
    MessageLog log;
    AfsArchive archive{log};
};

TEST(AfsArchive, FindsTheNameTableAfterTheLastEntry) {
    struct Case {
        std::uint32_t zeroGap;
        const char* what;
    };
    for (const Case c : {Case{2000, "2000 zero bytes"}, Case{0, "no gap"}, Case{32767, "the last position scanned"}}) {
        SCOPED_TRACE(c.what);
        ArchiveOnDisc disc(SmallArchive{}.build(c.zeroGap));
        ASSERT_TRUE(disc.load());
        const AfsArchive& archive = disc.archive;
        ASSERT_EQ(archive.entryCount(), 3u);
        const std::uint32_t end = archive.GetOffset(2) + archive.GetSize(2);
        EXPECT_EQ(archive.nameTableOffset(), end + c.zeroGap);
        EXPECT_EQ(archive.GetName(0), "FIRST.ADX");
        EXPECT_EQ(archive.GetName(2), "THIRD.ADX");
        EXPECT_TRUE(disc.log.messages.empty());
    }
}

TEST(AfsArchive, ShowsNamesOfAtMost32BytesWithBackslashes) {
    struct Case {
        std::string stored;
        std::string shown;
    };
    const std::string forty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";
    const Case cases[] = {
        {"voice/e/0001.adx", "voice\\e\\0001.adx"},
        {forty, forty.substr(0, 32)},
        {forty.substr(0, 32), forty.substr(0, 32)},
        {"//", "\\\\"},
    };
    SmallArchive small;
    small.names = {cases[0].stored, cases[1].stored, cases[2].stored};
    ArchiveOnDisc disc(small.build());
    ASSERT_TRUE(disc.load());
    for (std::uint32_t i = 0; i < 3; ++i) EXPECT_EQ(disc.archive.GetName(i), cases[i].shown) << i;
}

TEST(AfsArchive, ReadsAndWritesWholeEntriesInPlace) {
    SmallArchive small;
    ArchiveOnDisc disc(small.build());
    ASSERT_TRUE(disc.load());
    AfsArchive& archive = disc.archive;
    for (const auto& [index, want] : {std::pair{0u, small.clip}, std::pair{1u, small.other}, std::pair{2u, small.clip}}) {
        Bytes got(archive.GetSize(index) + 10, 0xEE);  // a larger destination keeps its tail
        ASSERT_TRUE(archive.ReadEntry(got, index));
        EXPECT_TRUE(std::equal(want.begin(), want.end(), got.begin())) << index;
        EXPECT_TRUE(std::all_of(got.end() - 10, got.end(), [](auto b) { return b == 0xEE; }));
    }
    Bytes tooSmall(archive.GetSize(1) - 1, 0xEE);
    EXPECT_FALSE(archive.ReadEntry(tooSmall, 1));

    // Writing entry 1 gives exactly the image built with the changed blob.
    small.other = test::patterned(5000, 3);
    ASSERT_TRUE(archive.WriteEntry(small.other, 1));
    EXPECT_TRUE(test::readFile(disc.image) ==
                sample::buildDiscImage({{"QXRT_418.27", Bytes(16, 1)}, {"FILEDATA.AFS", small.build()}}));
    EXPECT_TRUE(disc.log.messages.empty());
}

TEST(AfsArchive, AnswersOutOfRangeIndicesWithNothing) {
    ArchiveOnDisc disc(SmallArchive{}.build());
    const auto before = test::fileChecksum(disc.image);
    ASSERT_TRUE(disc.load());
    AfsArchive& loaded = disc.archive;
    MessageLog log;
    AfsArchive neverLoaded(log);
    struct Case {
        AfsArchive* archive;
        std::uint32_t index;
    };
    for (const Case c : {Case{&loaded, 3}, Case{&loaded, 0xFFFFFFFF}, Case{&neverLoaded, 0}, Case{&neverLoaded, 16253}}) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(c.archive->GetSize(c.index), 0u);
        EXPECT_EQ(c.archive->GetOffset(c.index), 0u);
        EXPECT_EQ(c.archive->GetName(c.index), "");
        Bytes destination(8000, 0xEE);
        EXPECT_FALSE(c.archive->ReadEntry(destination, c.index));
        EXPECT_TRUE(std::all_of(destination.begin(), destination.end(), [](auto b) { return b == 0xEE; }));
        EXPECT_FALSE(c.archive->WriteEntry(Bytes(8000, 1), c.index));
    }
    EXPECT_EQ(neverLoaded.entryCount(), 0u);
    EXPECT_TRUE(log.messages.empty());
    EXPECT_TRUE(disc.log.messages.empty());
    EXPECT_EQ(test::fileChecksum(disc.image), before);
}

// Malformed archives: each one refused with a message naming the problem, the tables unchanged.
TEST(AfsArchive, RefusesMalformedArchives) {
    const Bytes good = SmallArchive{}.build();
    const std::uint32_t goodEnd = *readU32LE(good, 8 + 2 * 8) + *readU32LE(good, 8 + 2 * 8 + 4);
    struct Case {
        const char* what;
        std::function<Bytes()> make;
        std::string problem;
    };
    auto withU32 = [&good](std::size_t offset, std::uint32_t value) {
        Bytes archive = good;
        writeU32LE(archive, offset, value);
        return archive;
    };
    const std::string size = std::to_string(good.size());
    const Case cases[] = {
        {"shorter than a count", [&] { return Bytes(good.begin(), good.begin() + 7); },
         "is too short (7 bytes) to hold an entry count"},
        {"no entries", [] { return sample::AfsBuilder{}.build(); }, "holds no entries"},
        {"a count far too large", [&] { return withU32(4, 0xFFFFFFFF); },
         "claims 4294967295 entries, but their table of 34359738360 bytes does not fit in the archive's " + size + " bytes"},
        {"a table one entry past the end", [&] { return withU32(4, static_cast<std::uint32_t>((good.size() - 8) / 8 + 1)); },
         "claims " + std::to_string((good.size() - 8) / 8 + 1) + " entries, but their table of " +
             std::to_string(((good.size() - 8) / 8 + 1) * 8) + " bytes does not fit in the archive's " + size + " bytes"},
        {"an entry one byte too long", [&] { return withU32(8 + 8 + 4, static_cast<std::uint32_t>(good.size()) - *readU32LE(good, 16) + 1); },
         "has entry 1 (offset " + std::to_string(*readU32LE(good, 16)) + ", size " +
             std::to_string(good.size() - *readU32LE(good, 16) + 1) + ") running past the archive's end at " + size + " bytes"},
        {"an entry whose end wraps in 32 bits", [&] { return withU32(8, 0xFFFFFFF0); },
         "has entry 0 (offset 4294967280, size 3000) running past the archive's end at " + size + " bytes"},
        {"names beyond the scan", [] { return SmallArchive{}.build(32768); },
         "has no name table within 32768 bytes after its last entry (offset " + std::to_string(goodEnd) + ")"},
        {"no names at all", [&] { return Bytes(good.begin(), good.begin() + goodEnd + 100); },
         "has no name table within 32768 bytes after its last entry (offset " + std::to_string(goodEnd) + ")"},
        {"a name table cut short", [&] { return Bytes(good.begin(), good.end() - 1); },
         "has a name table at offset " + std::to_string(goodEnd + 2048) + " that needs 144 bytes, past the archive's end at " +
             std::to_string(good.size() - 1) + " bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ArchiveOnDisc disc(good);
        ASSERT_TRUE(disc.load());
        AfsArchive& archive = disc.archive;
        MessageLog& log = disc.log;
        const std::uint32_t names = archive.nameTableOffset();
        TempDir badDir;
        const fs::path badImage = imageWithArchive(badDir, c.make());
        ASSERT_TRUE(archive.Find(badImage, "filedata.afs"));
        EXPECT_FALSE(archive.LoadDirectory());
        EXPECT_EQ(log.messages, (std::vector<Message>{{"FILEDATA.AFS in " + badImage.string() + " " + c.problem, "ERROR",
                                                       MessageKind::ReaderError}}));
        EXPECT_EQ(archive.entryCount(), 3u);
        EXPECT_EQ(archive.GetName(1), "SECOND.ADX");
        EXPECT_EQ(archive.nameTableOffset(), names);
    }
}

}  // namespace
}  // namespace tarvo
