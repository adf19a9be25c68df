// A CHD image made from the sample by chdman itself, opened and written through the store.

#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "store/backups.h"
#include "store/chd_source.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "store/file_platform.h"
#include "store/source_check.h"
#include "support/sample.h"
#include "support/platform.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

#ifndef _WIN32

// The sample's raw image, a cue sheet naming it, and the CHD chdman makes of the two.
class ChdImage : public ::testing::Test {
protected:
    void SetUp() override {
        const auto found = findChdman();
        if (!found) TARVO_SKIP("chdman is not installed (Debian: mame-tools)");
        chdman = *found;
        raw = test::copySampleImage(dir);
        std::ofstream(dir / "sample.cue")
            << "FILE \"" << raw.filename().string() << "\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n";
        chd = dir / "sample.chd";
        ASSERT_EQ(
            test::runCaptured(chdman, {"createcd", "-i", utf8Path(dir / "sample.cue"), "-o", utf8Path(chd)}).status, 0);
    }
    void TearDown() override { setenv("PATH", path.c_str(), 1); }
    // Points PATH at a folder holding only a chdman that runs the real one, but exits 1 at its
    // call number `failing` (0: never).
    void stubChdman(int failing) {
        const fs::path bin = dir / "bin";
        fs::create_directories(bin);
        std::ofstream(bin / "chdman")
            << "#!/bin/sh\nPATH=/usr/bin:/bin\nn=$(($(cat \"$0.count\" 2>/dev/null || echo 0) + 1))\n"
            << "echo $n > \"$0.count\"\nif [ $n = " << failing << " ]; then echo 'stub failure' >&2; exit 1; fi\nexec '"
            << chdman.string() << "' \"$@\"\n";
        fs::remove(bin / "chdman.count");
        fs::permissions(bin / "chdman", fs::perms::owner_all);
        setenv("PATH", bin.c_str(), 1);
    }
    // The working folders of this process under the cache folder.
    int workFolders() const {
        int count = 0;
        std::error_code ec;
        const std::string mine = "chd-" + std::to_string(platform::processId()) + "-";
        for (const auto& entry : fs::directory_iterator(cacheRoot(), ec))
            count += entry.path().filename().string().starts_with(mine);
        return count;
    }
    Bytes extracted(const fs::path& image) {
        const fs::path out = dir / "out.bin";
        EXPECT_EQ(test::runCaptured(chdman, {"extractcd", "-i", utf8Path(image), "-o", utf8Path(dir / "out.cue"), "-ob",
                                             utf8Path(out), "-f"})
                      .status,
                  0);
        return test::readFile(out);
    }

    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    TempDir dir;
    fs::path chdman, raw, chd;
    MessageLog log;
};

// The CHD opens with the sample's data; one edit written into it gives a CHD that extracts to the
// sample with exactly that edit, as the same edit written into a raw copy; its backup names the
// CHD; the working folder goes with the store, and one of a stopped program at the next open.
TEST_F(ChdImage, OpensAndWritesLikeTheRawImage) {
    // A working folder left by a program that stopped (no process has this ID) goes at the next open.
    const fs::path stale = cacheRoot() / "chd-999999999-1";
    fs::create_directories(stale);
    std::ofstream(stale / "pid") << "999999999\n";
    DataStore store(log), rawStore(log);
    ASSERT_TRUE(store.load(chd) && rawStore.load(raw));
    EXPECT_EQ(workFolders(), 1);
    EXPECT_FALSE(fs::exists(stale));
    // The unpadded sample holds 2491 sectors, far fewer than a disc's 297619.
    EXPECT_EQ(checkImageFile(chd), ImageCheck::TooSmall);
    EXPECT_TRUE(std::ranges::equal(store.boot(), rawStore.boot()) &&
                std::ranges::equal(store.parameter(), rawStore.parameter()) &&
                std::ranges::equal(store.select(), rawStore.select()));
    for (DataStore* edited : {&store, &rawStore}) {
        edited->blocks().parameter[100] ^= 0x5A;
        ASSERT_TRUE(edited->WriteBack()) << log.messages.back().text;
    }
    EXPECT_EQ(extracted(chd), test::readFile(raw));
    ASSERT_FALSE(listBackups(chd).empty());
    EXPECT_EQ(listBackups(chd).front().manifest.source, sourceKey(chd));
    store.ReleaseData();
    EXPECT_EQ(workFolders(), 0);
    EXPECT_FALSE(fs::exists(dir / ".sample.chd.new.chd"));
}

// chdman failing at each of its steps in turn (extracting on load, making the new CHD, extracting
// it to check it) leaves the CHD byte for byte as it was and names the step; the edit still counts
// as unwritten, and the next write, with chdman working, puts it into the CHD.
TEST_F(ChdImage, FailingChdmanLeavesTheOriginal) {
    const Bytes before = test::readFile(chd);
    const Bytes raw0 = test::readFile(raw);
    stubChdman(1);
    DataStore refused(log);
    EXPECT_FALSE(refused.load(chd));
    EXPECT_NE(log.messages.back().text.find("Extracting " + utf8Path(chd) +
                                            " failed: chdman exited with status 1 "
                                            "(stub failure)"),
              std::string::npos);
    for (const auto& [failing, step] : {std::pair{2, "Making the new CHD image"}, {3, "Checking the new CHD image"}}) {
        SCOPED_TRACE(step);
        stubChdman(failing);
        DataStore store(log);
        ASSERT_TRUE(store.load(chd));
        store.blocks().select[7] ^= 0x01;
        EXPECT_FALSE(store.WriteBack());
        EXPECT_NE(log.messages.back().text.find(step), std::string::npos) << log.messages.back().text;
        EXPECT_EQ(test::readFile(chd), before);
        EXPECT_FALSE(fs::exists(dir / ".sample.chd.new.chd"));
        EXPECT_TRUE(store.hasUnwrittenChanges());
        if (failing != 3) continue;
        stubChdman(0);
        ASSERT_TRUE(store.WriteBack()) << log.messages.back().text;
        const Bytes after = extracted(chd);
        ASSERT_EQ(after.size(), raw0.size());
        EXPECT_NE(after, raw0);
        DataStore reloaded(log);
        ASSERT_TRUE(reloaded.load(chd));
        EXPECT_TRUE(std::ranges::equal(reloaded.select(), store.select()));
    }
}

TEST_F(ChdImage, MissingChdmanIsNamed) {
    setenv("PATH", dir.path().c_str(), 1);
    DataStore store(log);
    EXPECT_FALSE(store.load(chd));
    EXPECT_EQ(log.messages.back().text, "Opening a CHD image needs chdman (Debian package mame-tools)");
}

#endif

}  // namespace
}  // namespace tarvo
