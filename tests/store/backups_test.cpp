// Backups that can be trusted: their order survives a clock set back, a backup whose files are
// gone or changed is damaged and holds nothing, a restore reads only its folder's three files, and
// an interrupted backup's leftovers are cleared away.

#include <functional>

#include <gtest/gtest.h>

#include "disc_fixture.h"
#include "store/backups.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/ppf.h"
#include "support/platform.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::TempDir;

struct BackupsHome {
    BackupsHome() { test::setDataHome(home.path()); }
    fs::path root() const { return home / "Tarvo_Riviza_Editor" / "backups"; }
    TempDir home, dir;
};

fs::path backUpOne(const fs::path& source, std::uint8_t content,
                   std::chrono::system_clock::time_point now = std::chrono::system_clock::now()) {
    std::string error;
    const auto folder = backUp(source, "image", {{"x", Bytes(5, content)}}, error, now);
    EXPECT_TRUE(folder) << error;
    return folder.value_or(fs::path());
}

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// With the clock a day back (a new time zone, daylight saving ending), the backup just made is
// the newest and the oldest is the one removed; a source named with a leading dot is listed and
// pruned like any other; a backup without a sequence number (made by an earlier version) comes
// after every numbered one, whatever its time says.
TEST(Backups, NewestByMakingOrderWhenTheClockGoesBack) {
    BackupsHome h;
    const fs::path source = h.dir / ".mydisc";
    const fs::path oldest = backUpOne(source, 0);
    for (std::uint8_t i = 1; i < 20; ++i) backUpOne(source, i);
    const fs::path unnumbered = h.root() / ".mydisc-20991231-235959";
    fs::create_directory(unnumbered);
    std::string key;  // as JSON text: a Windows path's backslashes escaped
    for (const char c : sourceKey(source)) key += c == '\\' ? std::string("\\\\") : std::string(1, c);
    test::writeFile(unnumbered / "manifest.json",
                    bytesOf("{\"source\": \"" + key +
                            "\", \"kind\": \"image\", \"time\": \"2099-12-31T23:59:59\", \"files\": []}"));
    ASSERT_EQ(listBackups(source).size(), 21u);
    EXPECT_EQ(listBackups(source).back().folder, unnumbered);

    const fs::path last = backUpOne(source, 20, std::chrono::system_clock::now() - 24h);
    const auto kept = listBackups(source);
    ASSERT_EQ(kept.size(), 20u);
    EXPECT_EQ(kept.front().folder, last);
    EXPECT_TRUE(fs::exists(last));
    EXPECT_FALSE(fs::exists(oldest) || fs::exists(unnumbered));
    EXPECT_EQ(backUpOne(source, 20, std::chrono::system_clock::now() - 24h), fs::path());
}

// A backup whose file is missing or changed is damaged: it is still listed, and the same content
// backed up again gets a new backup.
TEST(Backups, DamagedBackupHoldsNothing) {
    const std::function<void(const fs::path&)> damages[] = {
        [](const fs::path& file) { fs::remove(file); },
        [](const fs::path& file) { test::writeFile(file, Bytes(5, 9)); },
    };
    for (const auto& damage : damages) {
        BackupsHome h;
        const fs::path source = h.dir / "disc.bin";
        backUpOne(source, 0);
        const fs::path damaged = backUpOne(source, 1);
        damage(damaged / "x");
        const auto backups = listBackups(source);
        ASSERT_EQ(backups.size(), 2u);
        EXPECT_EQ(backups.front().folder, damaged);
        EXPECT_TRUE(backupDamage(backups.front()));
        EXPECT_FALSE(backupDamage(backups.back())) << *backupDamage(backups.back());
        const fs::path again = backUpOne(source, 1);
        EXPECT_FALSE(again.empty());
        EXPECT_NE(again, damaged);
    }
}

// A manifest naming "../" or an absolute path, or a link in the backup's folder, is refused even
// though the file it reaches holds the right bytes: the source keeps what it holds.
TEST(Backups, RestoreReadsOnlyTheFolderOwnFiles) {
    BackupsHome h;
    const fs::path source = test::writeExportDir(h.dir, test::DiscBlocks());
    MessageLog log;
    DataStore store(log);
    ASSERT_TRUE(store.LoadFromDirectory(source));
    store.blocks().parameter[100] ^= 0xFF;
    ASSERT_TRUE(store.WriteBack());
    const fs::path good = store.backupMade();
    const fs::path outside = h.root() / "outside.ovl";
    fs::copy_file(good / kParameterFileName, outside);
    const auto written = test::sourceChecksums(source);

    const std::string listed = "\"name\": \"parameter.ovl\"";
    const std::pair<std::string, bool> cases[] = {
        {"\"name\": \"../outside.ovl\"", false},
        {"\"name\": \"" + utf8Path(outside) + "\"", false},
        {listed, true},  // the file itself a link to the copy outside
    };
    int n = 0;
    for (const auto& [name, link] : cases) {
        const fs::path hostile = h.root() / ("hostile-" + std::to_string(++n));
        fs::copy(good, hostile);
        std::string manifest;
        for (const std::uint8_t c : test::readFile(hostile / "manifest.json")) manifest += static_cast<char>(c);
        manifest.replace(manifest.find(listed), listed.size(), name);
        test::writeFile(hostile / "manifest.json", bytesOf(manifest));
        fs::remove(hostile / kParameterFileName);
        std::error_code ec;
        if (link) fs::create_symlink(outside, hostile / kParameterFileName, ec);
        if (ec) continue;  // no links without the right to make them (Windows)
        EXPECT_EQ(store.restoreBackup(hostile, false), RestoreResult::Refused) << name;
        EXPECT_EQ(test::sourceChecksums(source), written) << name;
    }
}

// A PPF made since a backup turns the image as the backup left it into the image as it is (and
// its undo data back); applied in memory to another copy of the disc as the backup left it, it
// gives the edited blocks and changes nothing else. Another disc, a record past the end and a
// folder are refused with their reasons.
TEST(Backups, PpfSinceABackupAndAppliedInMemory) {
    BackupsHome h;
    const test::DiscBlocks original;
    const fs::path image = test::writeImage(h.dir, test::discFiles(original));
    const Bytes before = test::readFile(image);
    MessageLog log;
    DataStore store(log);
    ASSERT_TRUE(store.LoadFromImage(image));
    test::DiscBlocks edited = original;
    for (Bytes* block : {&edited.boot, &edited.parameter, &edited.select}) (*block)[100] ^= 0xFF;
    ASSERT_TRUE(store.replaceBlocks(edited.boot, edited.parameter, edited.select) && store.WriteBack());
    std::string error;
    const auto patch = store.patchSinceBackup(store.backupMade(), "since", error);
    ASSERT_TRUE(patch) << error;
    const Bytes after = test::readFile(image);
    const auto applied = [](Bytes bytes, const std::vector<FilePatch>& writes) {
        for (const FilePatch& w : writes)
            std::ranges::copy(w.bytes, bytes.begin() + static_cast<std::ptrdiff_t>(w.position));
        return bytes;
    };
    EXPECT_TRUE(applied(before, ppf::imageWrites(*patch, false)) == after);
    EXPECT_TRUE(applied(after, ppf::imageWrites(*patch, true)) == before);
    ASSERT_TRUE(patch->checkBlock);
    EXPECT_TRUE(std::ranges::equal(*patch->checkBlock, ByteSpan(before).subspan(0x9320, 1024)));

    TempDir other;
    DataStore target(log);
    ASSERT_TRUE(target.LoadFromImage(test::writeImage(other, test::discFiles(original))));
    std::uint64_t outside = 0;
    const auto blocks = target.blocksWithPpf(*patch, outside, error);
    ASSERT_TRUE(blocks) << error;
    EXPECT_TRUE(std::ranges::equal(blocks->boot, edited.boot) &&
                std::ranges::equal(blocks->parameter, edited.parameter) &&
                std::ranges::equal(blocks->select, edited.select));
    EXPECT_GT(outside, 0u);  // the sectors' error codes
    EXPECT_FALSE(target.hasUnwrittenChanges());

    ppf::Patch otherDisc = *patch, pastEnd = *patch;
    (*otherDisc.checkBlock)[0] ^= 1;
    pastEnd.records.back().offset = after.size();
    for (const ppf::Patch& refused : {otherDisc, pastEnd}) {
        error.clear();
        EXPECT_FALSE(target.blocksWithPpf(refused, outside, error));
        EXPECT_FALSE(error.empty());
    }
    DataStore folder(log);
    ASSERT_TRUE(folder.LoadFromDirectory(test::writeExportDir(other, original)));
    EXPECT_FALSE(folder.blocksWithPpf(*patch, outside, error));
    EXPECT_NE(error.find("folder of exported files"), std::string::npos) << error;
}

// The next backup removes the temporary folders of interrupted backups (of this version and of
// earlier ones) by their names, once they are old enough not to be a backup still being made, and
// leaves every other folder.
TEST(Backups, InterruptedBackupsLeftoversRemoved) {
    BackupsHome h;
    const fs::path source = h.dir / "disc.bin";
    backUpOne(source, 0);
    const struct {
        const char* name;
        bool old, removed;
    } folders[] = {
        {".tarvo-backup-0123456789abcdef.tmp", true, true},
        {".disc.bin-20261207-101010-2.tmp-4711", true, true},
        {".tarvo-backup-fedcba9876543210.tmp", false, false},
        {".tarvo-backup-notes", true, false},
        {"disc.tmp", true, false},
    };
    for (const auto& f : folders) {
        fs::create_directory(h.root() / f.name);
        test::writeFile(h.root() / f.name / "x", Bytes(5, 0));
    }
    // Under wine a folder's time can not be set: such a folder stays young, and is kept.
    std::vector<bool> aged;
    for (const auto& f : folders) {
        std::error_code ec;
        if (f.old) fs::last_write_time(h.root() / f.name, fs::file_time_type::clock::now() - 1h, ec);
        aged.push_back(f.old && !ec);
    }
    backUpOne(source, 1);
    for (std::size_t i = 0; i < std::size(folders); ++i)
        EXPECT_EQ(fs::exists(h.root() / folders[i].name), !(folders[i].removed && aged[i])) << folders[i].name;
}

}  // namespace
}  // namespace tarvo
