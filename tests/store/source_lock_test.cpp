// One writer per source: the lock is found by the file's identity under any name, a writer waits
// for it and then refuses, and a write-back over a change made on disk since the load is refused
// until the user answers (overwrite, or reload keeping the unwritten changes).

#include <gtest/gtest.h>

#include "disc_fixture.h"
#include "store/data_store.h"
#include "store/file_io.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::DiscBlocks;
using test::TempDir;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The disk, except that every write into a data file fails, and so does its undo: the write-back
// ends with its journal kept, as after a stop in the middle of the write.
class DataWritesFail : public FileAccess {
public:
    std::unique_ptr<OpenFile> open(const fs::path& file, OpenMode mode, std::string& error) override {
        auto inner = diskAccess().open(file, mode, error);
        if (!inner || file.string().ends_with(".tarvo-journal")) return inner;
        return std::make_unique<File>(std::move(inner));
    }
    bool remove(const fs::path& file) override { return diskAccess().remove(file); }

private:
    class File : public OpenFile {
    public:
        explicit File(std::unique_ptr<OpenFile> inner) : m_inner(std::move(inner)) {}
        bool read(std::uint64_t at, MutableByteSpan out) override { return m_inner->read(at, out); }
        bool write(std::uint64_t, ByteSpan) override {
            m_error = "Input/output error";
            return false;
        }
        bool flush() override { return m_inner->flush(); }
        std::uint64_t size() const override { return m_inner->size(); }

    private:
        std::unique_ptr<OpenFile> m_inner;
    };
};

// The image under its own path, another spelling, a symlink and a hard link, and the folder under
// a symlink: one lock. The symlink finds the journal beside the real image; a hard link in another
// folder finds the journal a write under the other name left, and recovery through it undoes it.
TEST(SourceLock, IsOneForEveryNameOfTheSource) {
    TempDir dir;
    const DiscBlocks blocks;
    const fs::path image = test::writeImage(dir, test::discFiles(blocks));
    const fs::path folder = test::writeExportDir(dir, blocks);
    fs::create_directory(dir / "links");
    // Links the system (or wine) cannot make are left out.
    std::error_code noSymlinks, noHardLinks;
    fs::create_symlink(image, dir / "links" / "symlink.bin", noSymlinks);
    fs::create_directory_symlink(folder, dir / "links" / "folder", noSymlinks);
    fs::create_hard_link(image, dir / "links" / "hardlink.bin", noHardLinks);
    std::vector<std::pair<fs::path, fs::path>> aliases{{image, dir / "links" / ".." / "disc.bin"}};
    if (!noSymlinks)
        aliases.insert(aliases.end(), {{image, dir / "links" / "symlink.bin"}, {folder, dir / "links" / "folder"}});
    if (!noHardLinks) aliases.push_back({image, dir / "links" / "hardlink.bin"});
    const std::string pid = " (process " + std::to_string(platform::processId()) + ")";
    for (const auto& [source, alias] : aliases) {
        SourceLock held, second;
        ASSERT_TRUE(held.acquire(source, 0ms));
        EXPECT_FALSE(second.acquire(alias, 50ms)) << alias;
        EXPECT_EQ(second.reason(), alias.string() + " is being written by another program" + pid);
        held.release();
        EXPECT_TRUE(second.acquire(alias, 0ms)) << alias;
    }
    if (!noSymlinks) {
        EXPECT_EQ(journalPathOf(dir / "links" / "symlink.bin"), fs::path(image.string() + ".tarvo-journal"));
        EXPECT_EQ(journalPathOf(dir / "links" / "folder"), folder / ".tarvo-journal");
    }
    if (noHardLinks) return;

    DataWritesFail failing;
    MessageLog log;
    DataStore store(log, failing);
    ASSERT_TRUE(store.LoadFromImage(dir / "links" / "hardlink.bin"));
    store.blocks().parameter[0] ^= 0xFF;
    ASSERT_FALSE(store.WriteBack());
    EXPECT_EQ(store.lastFailure().kind(), FailureKind::JournalLeft);
    const fs::path journal = dir / "links" / "hardlink.bin.tarvo-journal";
    ASSERT_TRUE(fs::exists(journal));
    EXPECT_EQ(journalPathOf(image), journal);
    DataStore other(log);
    EXPECT_FALSE(other.LoadFromImage(image));
    EXPECT_EQ(other.lastFailure().kind(), FailureKind::JournalLeft);
    EXPECT_TRUE(contains(log.messages.back().text, journal.string()));
    EXPECT_FALSE(contains(log.messages.back().text, "tarvo recover"));
    EXPECT_TRUE(recoverSource(image, log));
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_TRUE(other.LoadFromImage(image));
}

// While another holds the lock, a load and a write-back wait, then refuse and change nothing, and
// recovery refuses: a journal under a live lock is not one of an interrupted write.
TEST(SourceLock, AWriterWaitsThenRefuses) {
    TempDir dir;
    const fs::path folder = test::writeExportDir(dir, DiscBlocks());
    fs::path journal = folder / ".tarvo-journal";
    test::writeFile(journal, Bytes{'T', 'A', 'R', 'V', 'O'});
    MessageLog log;
    DataStore store(log);
    store.setLockWait(100ms);
    SourceLock other;
    ASSERT_TRUE(other.acquire(folder, 0ms));
    EXPECT_FALSE(store.LoadFromDirectory(folder));
    EXPECT_EQ(store.lastFailure().kind(), FailureKind::Busy);
    EXPECT_EQ(interruptedJournalOf(folder), std::nullopt);
    EXPECT_FALSE(recoverSource(folder, log));
    EXPECT_TRUE(contains(log.messages.back().text, "is being written by another program"));
    EXPECT_TRUE(fs::exists(journal));

    other.release();
    fs::remove(journal);
    ASSERT_TRUE(store.LoadFromDirectory(folder));
    const auto before = test::sourceChecksums(folder);
    store.blocks().select[5] ^= 0xFF;
    ASSERT_TRUE(other.acquire(folder, 0ms));
    EXPECT_FALSE(store.WriteBack());
    EXPECT_EQ(store.lastFailure().kind(), FailureKind::Busy);
    EXPECT_EQ(test::sourceChecksums(folder), before);
    other.release();
    EXPECT_TRUE(store.WriteBack());
}

// Another program writes between this store's load and its write-back. The write-back is refused
// and writes nothing; "overwrite" writes this store's blocks whole; "reload and keep my changes"
// keeps every bit this store changed and every other bit as on disk, and lists the bytes both
// changed. In the parameter data (the folder's file and entry 16253 of the image, whose first 2048
// bytes share one sector): this store sets bits 0-2 of byte 100 to 5 and the low four bits of byte
// 300 to 0xF; the other program sets bits 4-6 of byte 100 to 3, byte 2000 to 0x5A and bits 0-1 of
// byte 300 to 2.
TEST(ChangedOnDisk, IsRefusedThenOverwrittenOrMerged) {
    for (const bool image : {true, false})
        for (const bool overwrite : {true, false}) {
            SCOPED_TRACE(std::string(image ? "image" : "folder") + (overwrite ? ", overwrite" : ", merge"));
            TempDir dir;
            DiscBlocks blocks;
            blocks.parameter[100] = 0x00;
            blocks.parameter[300] = 0xA0;
            blocks.parameter[2000] = 0x00;
            const fs::path source =
                image ? test::writeImage(dir, test::discFiles(blocks)) : test::writeExportDir(dir, blocks);
            MessageLog log;
            DataStore mine(log), theirs(log);
            auto load = [&](DataStore& store) {
                return image ? store.LoadFromImage(source) : store.LoadFromDirectory(source);
            };
            ASSERT_TRUE(load(mine) && load(theirs));
            const ByteSpan view = mine.parameter();
            mine.blocks().parameter[100] = 0x05;
            mine.blocks().parameter[300] = 0xAF;
            theirs.blocks().parameter[100] = 0x30;
            theirs.blocks().parameter[2000] = 0x5A;
            theirs.blocks().parameter[300] = 0xA2;
            ASSERT_TRUE(theirs.WriteBack());
            const auto theirsOnDisk = test::sourceChecksums(source);

            EXPECT_FALSE(mine.WriteBack());
            EXPECT_EQ(mine.lastFailure().kind(), FailureKind::ChangedOnDisk);
            EXPECT_TRUE(contains(log.messages.back().text,
                                 source.string() + " was changed by another program since it was loaded"));
            EXPECT_EQ(test::sourceChecksums(source), theirsOnDisk);

            Bytes expected = blocks.parameter;
            if (overwrite) {
                mine.overwriteNextWrite();
                expected[100] = 0x05, expected[300] = 0xAF;
            } else {
                const auto conflicts = mine.reloadKeepingChanges();
                ASSERT_TRUE(conflicts);
                EXPECT_EQ(*conflicts,
                          (std::vector<MergeConflict>{{"parameter.ovl", 100, 1}, {"parameter.ovl", 300, 1}}));
                EXPECT_TRUE(mine.hasUnwrittenChanges());
                EXPECT_EQ(mine.parameter().data(), view.data());
                expected[100] = 0x35, expected[300] = 0xAF, expected[2000] = 0x5A;
            }
            ASSERT_TRUE(mine.WriteBack());
            DataStore reloaded(log);
            ASSERT_TRUE(load(reloaded));
            EXPECT_TRUE(std::ranges::equal(reloaded.parameter(), expected));
        }
}

}  // namespace
}  // namespace tarvo
