// All-or-nothing write-back: a failure at every write of one edit's write-back, a process stopped
// after every write (journal included) and recovered, hostile journals refused, backups made once
// and restored byte for byte.

#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "disc_fixture.h"
#include "records/player.h"
#include "store/backups.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/sha256.h"
#include "support/platform.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::DiscBlocks;
using test::TempDir;

// One write that reached the disk: which file, where, how many bytes.
struct WriteDone {
    fs::path file;
    std::uint64_t position;
    std::size_t size;
};

// A failing write that reaches the file with all its bytes but the last.
constexpr std::size_t kAllButOne = SIZE_MAX;

// The disk, with writes counted (and listed) across all files: the write numbered `failAt` fails
// (after `bytesBefore` of its bytes reach the file), or, with `stop`, every write, flush and
// removal from that one on fails as if the process had been killed there.
class FailingAccess : public FileAccess {
public:
    explicit FailingAccess(std::uint64_t failing = UINT64_MAX, std::size_t partial = 0, bool stopping = false)
        : failAt(failing), bytesBefore(partial), stop(stopping) {}
    std::uint64_t failAt;
    std::size_t bytesBefore;
    bool stop;
    bool refuseCreate = false;
    bool failFolderSync = false;
    bool refuseRemove = false;
    std::uint64_t writes = 0;
    std::vector<WriteDone> done;

    std::unique_ptr<OpenFile> open(const fs::path& file, OpenMode mode, std::string& error) override {
        if (refuseCreate && mode == OpenMode::CreateNew) {
            error = "Read-only file system";
            return nullptr;
        }
        auto inner = diskAccess().open(file, mode, error);
        return inner ? std::make_unique<File>(*this, file, std::move(inner)) : nullptr;
    }
    bool remove(const fs::path& file) override { return !stopped() && !refuseRemove && diskAccess().remove(file); }
    bool syncFolder(const fs::path& folder, std::string& error) override {
        if (failFolderSync) error = "Input/output error";
        return !failFolderSync && diskAccess().syncFolder(folder, error);
    }
    bool stopped() const { return stop && writes >= failAt; }

private:
    class File : public OpenFile {
    public:
        File(FailingAccess& access, fs::path path, std::unique_ptr<OpenFile> inner)
            : m_access(access), m_path(std::move(path)), m_inner(std::move(inner)) {}
        bool read(std::uint64_t at, MutableByteSpan out) override { return m_inner->read(at, out); }
        bool write(std::uint64_t at, ByteSpan data) override {
            if (m_access.stopped()) return fail();
            m_access.done.push_back({m_path, at, data.size()});
            if (m_access.writes++ != m_access.failAt) return m_inner->write(at, data);
            const std::size_t before = m_access.bytesBefore;
            m_inner->write(at, data.first(before == kAllButOne ? data.size() - 1 : std::min(before, data.size())));
            return fail();
        }
        bool flush() override { return !m_access.stopped() ? m_inner->flush() : fail(); }
        std::uint64_t size() const override { return m_inner->size(); }

    private:
        bool fail() {
            m_error = "No space left on device";
            return false;
        }
        FailingAccess& m_access;
        fs::path m_path;
        std::unique_ptr<OpenFile> m_inner;
    };
};

enum class Source { Image, Directory };

// A small disc of either kind, and one edit that touches all three blocks.
struct EditedSource {
    explicit EditedSource(Source kind) : image(kind == Source::Image) {
        path = image ? test::writeImage(dir, test::discFiles(DiscBlocks())) : test::writeExportDir(dir, DiscBlocks());
        before = snapshot();
    }
    std::vector<fs::path> files() const {
        if (image) return {path};
        return {path / kBootFileName, path / kParameterFileName, path / kSelectFileName};
    }
    std::vector<Bytes> snapshot() const {
        std::vector<Bytes> out;
        for (const fs::path& file : files()) out.push_back(test::readFile(file));
        return out;
    }
    bool load(DataStore& store) const { return image ? store.LoadFromImage(path) : store.LoadFromDirectory(path); }
    static void edit(DataStore& store) {
        writePlayerRecordBytes(store.blocks(), 7, Bytes(blockmap::kRecordSize, 0x5A));  // parameter and boot
        writePlayerName(store.blocks(), PlayerName::Full, 2197, Bytes{'N', 'E', 'W'});  // parameter and select
    }
    TempDir dir;
    bool image;
    fs::path path;
    std::vector<Bytes> before;
};

// A store on the source through `access`, loaded and edited, with backups off.
struct EditedStore {
    EditedStore(const EditedSource& source, FileAccess& access) : store(log, access) {
        store.setBackups(false);
        loaded = source.load(store);
        if (loaded) EditedSource::edit(store);
    }
    MessageLog log;
    DataStore store;
    bool loaded;
};

class SafeWrite : public ::testing::TestWithParam<Source> {
protected:
    void SetUp() override { test::setDataHome(home.path()); }
    TempDir home;
};

// Counts the writes of one edit's write-back (journal, data, undo) on a fresh source.
std::uint64_t writesOfOneEdit(Source kind) {
    EditedSource source(kind);
    FailingAccess access;
    EditedStore edited(source, access);
    return edited.loaded && edited.store.WriteBack() ? access.writes : 0;
}

// Whichever write fails, and whether none of it or all but its last byte reached the file (so the
// failed range itself must be undone too), the source is byte for byte as before, no journal is
// left, the message names the file and the reason before the failure message, and a later
// write-back succeeds.
TEST_P(SafeWrite, AFailureAtAnyWriteLeavesTheSourceAsBefore) {
    const std::uint64_t total = writesOfOneEdit(GetParam());
    ASSERT_GT(total, 3u);
    for (std::uint64_t k = 0; k < total; ++k)
        for (const std::size_t bytesBefore : {std::size_t{0}, kAllButOne}) {
            SCOPED_TRACE("write " + std::to_string(k) + ", bytes before " + std::to_string(bytesBefore));
            EditedSource source(GetParam());
            FailingAccess access(k, bytesBefore);
            EditedStore edited(source, access);
            ASSERT_TRUE(edited.loaded);
            DataStore& store = edited.store;
            MessageLog& log = edited.log;
            EXPECT_FALSE(store.WriteBack());
            EXPECT_TRUE(source.snapshot() == source.before);
            EXPECT_FALSE(fs::exists(journalPathOf(source.path)));
            const std::string& text = log.messages.back().text;
            EXPECT_TRUE(text.find("No space left on device\n") != std::string::npos &&
                        text.ends_with(source.image ? "Failed to save data to CD image!"
                                                    : "Failed to save data to exported files!"))
                << text;
            // A failed data write into an image names its sector; one of the journal names the journal.
            if (source.image && text.find("journal") == std::string::npos) {
                EXPECT_TRUE(std::regex_search(text, std::regex("^Can not write sector [0-9]+ of .*: No space")))
                    << text;
            }
            ASSERT_TRUE(store.WriteBack());
            DataStore reloaded(log);
            ASSERT_TRUE(source.load(reloaded));
            EXPECT_TRUE(std::ranges::equal(reloaded.boot(), store.boot()) &&
                        std::ranges::equal(reloaded.parameter(), store.parameter()) &&
                        std::ranges::equal(reloaded.select(), store.select()));
        }
}

// The process stops after k writes, for every k, including while the journal itself is written:
// the source is then either untouched or restored exactly by recover, never anything between; a
// load refuses while the journal is there and names it.
TEST_P(SafeWrite, RecoverUndoesAWriteStoppedAtAnyPoint) {
    const std::uint64_t total = writesOfOneEdit(GetParam());
    for (std::uint64_t k = 0; k <= total; ++k) {
        SCOPED_TRACE("stopped after " + std::to_string(k) + " writes");
        EditedSource source(GetParam());
        FailingAccess access(k, 0, true);
        {
            EditedStore edited(source, access);
            ASSERT_TRUE(edited.loaded);
            edited.store.WriteBack();
        }
        MessageLog log;
        const fs::path journal = journalPathOf(source.path);
        if (fs::exists(journal)) {
            DataStore refused(log);
            EXPECT_FALSE(source.load(refused));
            EXPECT_NE(log.messages.back().text.find(journal.string()), std::string::npos);
        }
        EXPECT_TRUE(recoverSource(source.path, log));
        EXPECT_FALSE(fs::exists(journal));
        EXPECT_TRUE(source.snapshot() == source.before);
    }
}

// A journal that can not be made, or whose folder can not be flushed, refuses the write-back
// before anything is written, naming the journal and the reason. One that can not be removed
// after a complete write is marked finished: the next load neither refuses nor asks, and removes it.
TEST_P(SafeWrite, JournalMadeFlushedAndRetired) {
    for (const int failing : {0, 1, 2}) {
        SCOPED_TRACE(failing);
        EditedSource source(GetParam());
        const fs::path journal = journalPathOf(source.path);
        FailingAccess access;
        access.refuseCreate = failing == 0;
        access.failFolderSync = failing == 1;
        access.refuseRemove = failing == 2;
        EditedStore edited(source, access);
        ASSERT_TRUE(edited.loaded);
        if (failing < 2) {
            EXPECT_FALSE(edited.store.WriteBack());
            EXPECT_TRUE(source.snapshot() == source.before);
            EXPECT_FALSE(fs::exists(fs::symlink_status(journal)));
            const std::string& text = edited.log.messages.back().text;
            EXPECT_TRUE(text.starts_with(
                failing == 0 ? "Can not create the journal " + journal.string() + ": Read-only file system"
                             : "Can not flush the folder of the journal " + journal.string() + ": Input/output error"))
                << text;
            continue;
        }
        ASSERT_TRUE(edited.store.WriteBack());
        ASSERT_TRUE(fs::exists(journal));
        MessageLog log;
        DataStore reloaded(log);
        EXPECT_TRUE(source.load(reloaded));
        EXPECT_FALSE(fs::exists(journal));
        EXPECT_TRUE(std::ranges::equal(reloaded.parameter(), edited.store.parameter()));
    }
}

// The journal's layout, written out to craft journals: "TARVOJN2", u32 entry count, per entry u8
// file role (1 image, 2 boot file, 3 parameter data, 4 select data), u64 the file's size when
// saved, u64 position, u32 length and the saved bytes; last the SHA-256 of all before it. An
// earlier version: "TARVOJNL", and per entry u16 name length and the file's name in place of the
// role and the size. Integers little-endian.
struct Entry {
    std::string name;  // the earlier version's
    std::uint8_t role;
    std::uint64_t sizeThen;
    std::uint64_t position;
    Bytes bytes;
};

Bytes craftJournal(bool old, const std::vector<Entry>& entries) {
    Bytes out;
    const auto le = [&out](std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    const std::string magic = old ? "TARVOJNL" : "TARVOJN2";
    out.assign(magic.begin(), magic.end());
    le(entries.size(), 4);
    for (const Entry& e : entries) {
        if (old) {
            le(e.name.size(), 2);
            out.insert(out.end(), e.name.begin(), e.name.end());
        } else {
            le(e.role, 1);
            le(e.sizeThen, 8);
        }
        le(e.position, 8);
        le(e.bytes.size(), 4);
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    }
    const auto digest = Sha256::of(out);
    out.insert(out.end(), digest.begin(), digest.end());
    return out;
}

// Every regular file under `dir`, byte for byte.
std::map<fs::path, Bytes> filesUnder(const fs::path& dir) {
    std::map<fs::path, Bytes> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (fs::is_regular_file(e.symlink_status())) files[e.path()] = test::readFile(e.path());
    return files;
}

// A journal may come from elsewhere (a shared folder). Recovery writes only into the source's own
// files, inside their ends, once every entry is checked; anything else is refused, naming the
// journal and why, with every file (beside the source too) byte for byte as it was and the journal
// kept, and a load refuses naming it. An earlier version's journal naming the source's own file
// in its folder is undone.
TEST_P(SafeWrite, HostileJournalsChangeNothing) {
    enum Shape { Crafted, DanglingLink, Folder, LinkToJournal };
    struct Where {  // the journal's folder, the source's own file (image or parameter.ovl), its role and size
        fs::path folder, own;
        std::uint8_t role;
        std::uint64_t size;
    };
    using Entries = std::vector<Entry>;
    struct Case {
        const char* what;
        Shape shape;
        bool old;
        std::function<Entries(const Where&)> entries;
        std::string reason;  // empty: undone
    };
    static const Bytes four{0xDE, 0xAD, 0xBE, 0xEF};
    const auto byName = [](std::string name, std::uint64_t at) { return Entry{std::move(name), 0, 0, at, four}; };
    const auto byRole = [](std::uint8_t role, std::uint64_t size, std::uint64_t at) {
        return Entry{"", role, size, at, four};
    };
    const std::uint64_t far = 4ull << 30;
    const Case cases[] = {
        {"a name going up", Crafted, true,
         [&](const Where& w) { return Entries{byName("../" + w.folder.filename().string() + "/notes.txt", 0)}; },
         "names \"../"},
        {"an absolute name", Crafted, true,
         [&](const Where& w) { return Entries{byName((w.folder / "victim").string(), 0)}; },
         "none of the source's files"},
        {"a file beside the source", Crafted, true, [&](const Where&) { return Entries{byName("notes.txt", 0)}; },
         "none of the source's files"},
        {"a role the source lacks", Crafted, false,
         [&](const Where& w) { return Entries{byRole(w.role == 1 ? 3 : 1, w.size, 0)}; },
         "which the source does not have"},
        {"a good entry, then one past the end", Crafted, false,
         [&](const Where& w) {
             return Entries{byRole(w.role, w.size, 0), byRole(w.role, w.size, w.size - 2)};
         },
         "which holds"},
        {"a size far past the end", Crafted, false,
         [&](const Where& w) { return Entries{byRole(w.role, far + 4, far)}; }, "when it held 4294967300 bytes"},
        {"a dangling link", DanglingLink, false, {}, "it is a symbolic link"},
        {"a folder", Folder, false, {}, "it is not a regular file"},
        {"a link to a good journal", LinkToJournal, false,
         [&](const Where& w) { return Entries{byRole(w.role, w.size, 0)}; }, "it is a symbolic link"},
        {"the source's own file by name", Crafted, true,
         [&](const Where& w) { return Entries{byName(w.own.filename().string(), 8)}; }, ""},
        {"the source's own file by role", Crafted, false,
         [&](const Where& w) { return Entries{byRole(w.role, w.size, w.size - 4)}; }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditedSource source(GetParam());
        const fs::path journal = journalPathOf(source.path), folder = journal.parent_path();
        const fs::path own = source.image ? source.path : source.path / "parameter.ovl";
        const Where where{folder, own, std::uint8_t(source.image ? 1 : 3), fs::file_size(own)};
        test::writeFile(folder / "notes.txt", Bytes(64, 'n'));
        test::writeFile(folder / "victim", Bytes(64, 'v'));
        std::error_code ec;
        if (c.shape == DanglingLink) fs::create_symlink(folder / "gone", journal, ec);
        if (c.shape == Folder) fs::create_directory(journal);
        if (c.shape == LinkToJournal) {
            test::writeFile(folder / "good.journal", craftJournal(c.old, c.entries(where)));
            fs::create_symlink(folder / "good.journal", journal, ec);
        }
        if (ec) continue;  // a system without symbolic links for this user
        if (c.shape == Crafted) test::writeFile(journal, craftJournal(c.old, c.entries(where)));
        auto expected = filesUnder(source.dir.path());
        expected.erase(journal);
        if (c.reason.empty()) {
            const std::uint64_t at = c.old ? 8 : where.size - 4;
            std::ranges::copy(four, expected[own].begin() + static_cast<std::ptrdiff_t>(at));
        }

        MessageLog log;
        EXPECT_EQ(recoverSource(source.path, log), c.reason.empty());
        auto after = filesUnder(source.dir.path());
        after.erase(journal);
        EXPECT_TRUE(after == expected);
        EXPECT_EQ(fs::exists(fs::symlink_status(journal)), !c.reason.empty());
        if (c.reason.empty()) continue;
        const std::string& text = log.messages.back().text;
        EXPECT_TRUE(text.find(journal.string()) != std::string::npos && text.find(c.reason) != std::string::npos &&
                    text.find("remove it or move it away") != std::string::npos)
            << text;
        DataStore refused(log);
        EXPECT_FALSE(source.load(refused));
        EXPECT_NE(log.messages.back().text.find(journal.string()), std::string::npos);
    }
}

// A journal whose checksum does not match its entries was cut short while it was written, before
// any data write began: it is removed and nothing of it is written, even when its entries look whole.
TEST_P(SafeWrite, AJournalWhoseChecksumFailsIsNeverApplied) {
    EditedSource source(GetParam());
    const fs::path journal = journalPathOf(source.path);
    const fs::path own = source.image ? source.path : source.path / "parameter.ovl";
    const std::uint64_t size = fs::file_size(own);
    Bytes crafted = craftJournal(false, {Entry{"", std::uint8_t(source.image ? 1 : 3), size, size - 4, {1, 2, 3, 4}}});
    crafted[crafted.size() - 32 - 1] ^= 0xFF;  // the last saved byte, after the checksum was taken
    test::writeFile(journal, crafted);
    const auto expected = filesUnder(source.dir.path());
    MessageLog log;
    EXPECT_TRUE(recoverSource(source.path, log));
    auto after = filesUnder(source.dir.path());
    EXPECT_FALSE(fs::exists(journal));
    after[journal] = crafted;
    EXPECT_TRUE(after == expected);
}

// A write-back writes only what changed. With nothing edited it writes nothing at all (no journal
// either), also the second time; after one edit it writes exactly the units whose bytes differ
// afterwards, whole, plus the journal, which it then removes. An image is written in raw CD
// sectors of 2352 bytes; the exported files in pieces of 4096 bytes (the last one of a file may be
// shorter).
TEST_P(SafeWrite, WritesOnlyTheUnitsThatChanged) {
    EditedSource source(GetParam());
    const std::uint64_t unit = source.image ? 2352 : 4096;
    FailingAccess access;
    MessageLog log;
    DataStore store(log, access);
    store.setBackups(false);
    ASSERT_TRUE(source.load(store));
    ASSERT_TRUE(store.WriteBack() && store.WriteBack());
    EXPECT_EQ(access.writes, 0u);
    EditedSource::edit(store);
    ASSERT_TRUE(store.WriteBack());
    const std::vector<fs::path> files = source.files();
    const std::vector<Bytes> after = source.snapshot();
    using Unit = std::pair<std::size_t, std::uint64_t>;  // file, unit index
    std::set<Unit> changed, written;
    for (std::size_t f = 0; f < files.size(); ++f)
        for (std::uint64_t at = 0; at < after[f].size(); ++at)
            if (after[f][at] != source.before[f][at]) changed.insert({f, at / unit});
    std::size_t journalWrites = 0;
    for (const WriteDone& w : access.done) {
        if (w.file == journalPathOf(source.path)) {
            ++journalWrites;
            continue;
        }
        const auto f = static_cast<std::size_t>(std::ranges::find(files, w.file) - files.begin());
        ASSERT_LT(f, files.size()) << "a write into " << w.file;
        EXPECT_TRUE(w.position % unit == 0 && (w.size % unit == 0 || w.position + w.size == after[f].size()))
            << w.file << " at " << w.position << ", " << w.size << " bytes";
        for (std::uint64_t at = w.position; at < w.position + w.size; at += unit) written.insert({f, at / unit});
    }
    EXPECT_FALSE(changed.empty());
    EXPECT_EQ(written, changed);
    EXPECT_GT(journalWrites, 0u);
    EXPECT_FALSE(fs::exists(journalPathOf(source.path)));

    access.done.clear();
    ASSERT_TRUE(store.WriteBack());
    EXPECT_TRUE(access.done.empty());
}

// The first write-back backs up the three files as they were (once, however many write-backs
// follow); restoring that backup in the same run first backs up what it replaces (held by no
// backup yet) and gives back the source byte for byte; another source's backup is refused unless
// forced, with no message of the store's own.
TEST_P(SafeWrite, BackupMadeOnceAndRestoredByteForByte) {
    EditedSource source(GetParam());
    MessageLog log;
    DataStore store(log);
    ASSERT_TRUE(source.load(store));
    EditedSource::edit(store);
    ASSERT_TRUE(store.WriteBack());
    const fs::path backup = store.backupMade();
    ASSERT_FALSE(backup.empty());
    EXPECT_EQ(log.messages.back().text, "OK!\nBackup of the files as they were: " + backup.string());
    EXPECT_TRUE(backup.parent_path() == home.path() / "Tarvo_Riviza_Editor" / "backups");
    store.blocks().boot[0] ^= 1;
    ASSERT_TRUE(store.WriteBack());
    EXPECT_EQ(log.messages.back().text, "OK!");
    ASSERT_EQ(listBackups(source.path).size(), 1u);
    const BackupManifest manifest = listBackups(source.path)[0].manifest;
    EXPECT_EQ(manifest.kind, source.image ? "image" : "directory");
    EXPECT_EQ(manifest.files[1].name + " " + std::to_string(manifest.files[1].size) + " " + manifest.files[1].sha256,
              "parameter.ovl 227410 " + Sha256::hex(Sha256::of(DiscBlocks().parameter)));

    EditedSource other(GetParam());
    DataStore otherStore(log);
    ASSERT_TRUE(other.load(otherStore));
    const std::size_t shown = log.messages.size();
    EXPECT_EQ(otherStore.restoreBackup(backup, false), RestoreResult::OtherSource);
    EXPECT_EQ(log.messages.size(), shown);
    EXPECT_TRUE(other.snapshot() == other.before);

    const std::vector<Bytes> replaced{Bytes(store.boot().begin(), store.boot().end()),
                                      Bytes(store.parameter().begin(), store.parameter().end()),
                                      Bytes(store.select().begin(), store.select().end())};
    ASSERT_EQ(store.restoreBackup(backup, false), RestoreResult::Restored);
    EXPECT_TRUE(source.snapshot() == source.before);
    const auto backups = listBackups(source.path);
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_EQ(backups[0].folder, store.backupMade());
    std::string error;
    EXPECT_EQ(readBackupFiles(backups[0], error), replaced) << error;
}

INSTANTIATE_TEST_SUITE_P(Store, SafeWrite, ::testing::Values(Source::Image, Source::Directory),
                         [](const auto& test) { return test.param == Source::Image ? "Image" : "Directory"; });

// Two programs backing up sources of the same file name in the same second both get a backup of
// their own: the one that finds its name taken when it renames takes the next number.
TEST(Backups, SameNameAtTheSameTimeFromTwoPrograms) {
    TempDir home, first, second;
    test::setDataHome(home.path());
    std::array<int, 2> made{};
    const auto backUpMany = [&made](const fs::path& dir, int which) {
        std::string error;
        for (std::uint8_t i = 0; i < 15; ++i)
            if (backUp(dir / "disc.bin", "image", {{"x", Bytes(5, i)}}, error)) ++made[static_cast<std::size_t>(which)];
    };
    std::thread other(backUpMany, second.path(), 1);
    backUpMany(first.path(), 0);
    other.join();
    EXPECT_EQ(made, (std::array<int, 2>{15, 15}));
    EXPECT_EQ(listBackups(first / "disc.bin").size() + listBackups(second / "disc.bin").size(), 30u);
}

// The FIPS 180-2 examples: "abc" and the 448-bit message, plus the empty message and a message
// fed in pieces across block boundaries; with and without the processor's SHA instructions, which
// also agree on messages of every length up to a few blocks.
TEST(Sha256, MatchesTheStandardsExamples) {
    for (const Sha256::Engine engine : {Sha256::Engine::Fastest, Sha256::Engine::Portable}) {
        const auto digest = [engine](ByteSpan bytes) {
            Sha256 sha(engine);
            sha.add(bytes);
            return Sha256::hex(sha.finish());
        };
        const auto text = [](std::string_view t) {
            return ByteSpan(reinterpret_cast<const std::uint8_t*>(t.data()), t.size());
        };
        EXPECT_EQ(digest(text("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
        EXPECT_EQ(digest(text("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
                  "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
        EXPECT_EQ(digest(text("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
        const Bytes million(1000000, 'a');
        Sha256 pieces(engine);
        for (std::size_t at = 0; at < million.size(); at += 999)
            pieces.add(ByteSpan(million).subspan(at, std::min<std::size_t>(999, million.size() - at)));
        EXPECT_EQ(Sha256::hex(pieces.finish()), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    }
    Bytes random(300);
    std::minstd_rand generator(11);
    for (auto& b : random) b = static_cast<std::uint8_t>(generator());
    for (std::size_t length = 0; length <= random.size(); ++length) {
        const ByteSpan message = ByteSpan(random).first(length);
        Sha256 fastest(Sha256::Engine::Fastest), portable(Sha256::Engine::Portable);
        fastest.add(message);
        portable.add(message);
        EXPECT_EQ(fastest.finish(), portable.finish()) << length;
    }
}

// Every refused output path leaves every file byte for byte as it was and leaves no new file; a
// file larger than its kind's limit (a sparse 100 GB one) is refused before it is read.
TEST(SafeOutputs, RefusedPathsWriteNothingAndLargeFilesAreNotRead) {
    TempDir dir;
    const fs::path exported = test::writeExportDir(dir, test::DiscBlocks());
    MessageLog log;
    DataStore store(log);
    ASSERT_TRUE(store.LoadFromDirectory(exported));
    fs::create_directory(dir / "folder");
    const fs::path fifo = dir / "fifo";
    const bool hasFifo = test::makeFifo(fifo);  // Windows has none
    const auto listing = [&] {
        std::vector<std::pair<fs::path, std::uint64_t>> files;
        for (const auto& e : fs::recursive_directory_iterator(dir.path()))
            files.emplace_back(e.path(), e.is_regular_file() ? test::fileChecksum(e.path()) : 0);
        std::sort(files.begin(), files.end());
        return files;
    };
    const auto before = listing();
    const std::pair<fs::path, std::string> cases[] = {
        {exported / ".." / "exported" / kParameterFileName, "which the program must not overwrite"},
        {exported / kBootFileName, "which the program must not overwrite"},
        {dir / "folder", "exists and is not a regular file"},
        {fifo, "exists and is not a regular file"},
        {dir / "missing" / "team000.dat", "does not exist"},
    };
    for (const auto& [path, reason] : cases) {
        if (path == fifo && !hasFifo) continue;
        std::string error;
        EXPECT_EQ(writeWholeFile(path, Bytes(10, 1), error), WriteResult::Refused) << path;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
    EXPECT_EQ(listing(), before);

    const fs::path huge = dir / "huge.dat";
    if (!test::makeSparseFile(huge, 100ull << 30)) TARVO_SKIP("the file system makes no holes");
    std::string error;
    EXPECT_FALSE(readWholeFile(huge, kMaxTeamFileSize, error));
    EXPECT_EQ(error, utf8Path(huge) + " holds 107374182400 bytes; the limit for this file is 65536 bytes");
}

}  // namespace
}  // namespace tarvo
