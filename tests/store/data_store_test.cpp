#include "store/data_store.h"

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "disc_fixture.h"
#include "store/file_io.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::DiscBlocks;
using test::TempDir;

bool sameBlocks(const DataStore& store, const DiscBlocks& blocks) {
    return std::ranges::equal(store.boot(), blocks.boot) && std::ranges::equal(store.parameter(), blocks.parameter) &&
           std::ranges::equal(store.select(), blocks.select);
}

enum class Source { Image, Directory };

class BothSources : public ::testing::TestWithParam<Source> {
protected:
    bool image() const { return GetParam() == Source::Image; }
    // Makes the source from `blocks`; returns its files.
    std::vector<fs::path> make(const DiscBlocks& blocks) {
        if (image()) return {path = test::writeImage(dir, test::discFiles(blocks))};
        path = test::writeExportDir(dir, blocks);
        return {path / kBootFileName, path / kParameterFileName, path / kSelectFileName};
    }
    bool load(DataStore& store) { return image() ? store.LoadFromImage(path) : store.LoadFromDirectory(path); }

    TempDir dir;
    fs::path path;
    MessageLog log;
};

// The boot file's first and last bytes and a byte of each archive entry edited: the image written
// must be the one built from the edited blocks, so only the boot file and entries 16253 and 16256
// differ, with their sectors' codes made anew. (No edit, no write: the safe-write tests.)
TEST_P(BothSources, WritesBackExactlyTheEdits) {
    const DiscBlocks blocks;
    make(blocks);
    DataStore store(log);
    ASSERT_TRUE(load(store) && sameBlocks(store, blocks));
    DiscBlocks edited = blocks;
    for (Bytes* block : {&edited.boot, &edited.parameter, &edited.select}) block->back() ^= 0xFF;
    edited.boot.front() ^= 0xFF;
    std::ranges::copy(edited.boot, store.blocks().boot.begin());
    std::ranges::copy(edited.parameter, store.blocks().parameter.begin());
    std::ranges::copy(edited.select, store.blocks().select.begin());
    ASSERT_TRUE(store.WriteBack());
    DataStore reloaded(log);
    EXPECT_TRUE(load(reloaded) && sameBlocks(reloaded, edited));
    EXPECT_TRUE(!image() || test::readFile(path) == sample::buildDiscImage(test::discFiles(edited)));
}

// Unwritten changes are the difference from what was last loaded or written: an edit makes one, the
// same byte put back by hand clears it, a write-back clears it, a failed write-back keeps it. A
// view handed out before a write-back (an open editor's) still changes the blocks after it.
TEST_P(BothSources, UnwrittenChangesCompareTheBlocks) {
    make(DiscBlocks{});
    DataStore store(log);
    ASSERT_TRUE(load(store));
    EXPECT_FALSE(store.hasUnwrittenChanges());
    const std::uint8_t loaded = store.writtenBlocks().boot[100];
    // A byte of each block changed and put back by hand, in turn.
    for (const auto block : {&GameBlocks::boot, &GameBlocks::parameter, &GameBlocks::select}) {
        auto& byte = (store.blocks().*block)[100];
        byte ^= 0x40;
        EXPECT_TRUE(store.hasUnwrittenChanges());
        EXPECT_EQ(store.writtenBlocks().boot[100], loaded);
        byte ^= 0x40;
        EXPECT_FALSE(store.hasUnwrittenChanges());
    }
    const GameBlocks held = store.blocks();
    held.parameter[7] ^= 1;
    ASSERT_TRUE(store.WriteBack());
    EXPECT_FALSE(store.hasUnwrittenChanges());
    held.select[0] ^= 1;
    EXPECT_TRUE(store.hasUnwrittenChanges());
    EXPECT_EQ(store.writtenBlocks().select[0], held.select[0] ^ 1);
    if (image()) fs::resize_file(path, 1000);
    else fs::remove(path / kSelectFileName);
    EXPECT_FALSE(store.WriteBack());
    EXPECT_TRUE(store.hasUnwrittenChanges());
}

TEST_P(BothSources, RefusesBlocksShorterThanTheBlockMapNeeds) {
    const std::string parameter = image() ? "parameter.ovl (entry 16253 of filedata.afs)" : "parameter.ovl";
    const std::string select = image() ? "select.ovl (entry 16256 of filedata.afs)" : "select.ovl";
    const std::string texts[] = {"QXRT_418.27 holds 2500483 bytes; the editor needs at least 2500484 bytes",
                                 parameter + " holds 227409 bytes; the editor needs at least 227410 bytes",
                                 select + " holds 0 bytes; the editor needs at least 413596 bytes"};
    const std::size_t sizes[] = {blockmap::kMinBootSize - 1, blockmap::kMinParameterSize - 1, 0};
    for (std::size_t i = 0; i < 3; ++i) {
        DiscBlocks blocks;
        Bytes* cut[] = {&blocks.boot, &blocks.parameter, &blocks.select};
        cut[i]->resize(sizes[i]);
        make(blocks);
        log.messages.clear();
        DataStore store(log);
        EXPECT_FALSE(load(store) || store.isLoaded());
        EXPECT_EQ(test::texts(log), std::vector<std::string>{texts[i]});
    }
}

// One store loads again and again, each load filling the buffers of the blocks it replaces: a
// refused load keeps what the store holds, edit included; a load of other blocks, of another size,
// replaces them; and a write-back then carries the new edit into the new source.
TEST_P(BothSources, LoadsAgainIntoTheSameStore) {
    const DiscBlocks first;
    DiscBlocks second;
    second.fillPattern(2);
    second.boot.resize(first.boot.size() + 5000, 0x77);
    make(first);
    DataStore store(log);
    ASSERT_TRUE(load(store));
    store.blocks().select[7] ^= 1;
    DiscBlocks cut = second;
    cut.select.resize(100);
    make(cut);
    EXPECT_FALSE(load(store));
    DiscBlocks firstEdited = first;
    firstEdited.select[7] ^= 1;
    EXPECT_TRUE(sameBlocks(store, firstEdited));
    make(second);
    ASSERT_TRUE(load(store) && sameBlocks(store, second));
    EXPECT_FALSE(store.hasUnwrittenChanges());
    store.blocks().parameter[9] ^= 1;
    ASSERT_TRUE(store.WriteBack());
    DiscBlocks written = second;
    written.parameter[9] ^= 1;
    DataStore reloaded(log);
    EXPECT_TRUE(load(reloaded) && sameBlocks(reloaded, written));
}

INSTANTIATE_TEST_SUITE_P(Store, BothSources, ::testing::Values(Source::Image, Source::Directory),
                         [](const auto& test) { return test.param == Source::Image ? "Image" : "Directory"; });

// Block buffers on both sides of the sizes where their memory changes kind (128 KB, 2 MB pages)
// hold every byte they are given; a sanitizer build catches memory too short or freed the wrong way.
TEST(BlockBytes, HoldEveryByteAroundTheLargePageSizes) {
    for (const std::size_t size : {std::size_t{1}, std::size_t{131071}, std::size_t{131072}, std::size_t{2097151},
                                   std::size_t{2097152}, std::size_t{2097153}, std::size_t{5000003}}) {
        const Bytes pattern = test::patterned(size, 3);
        BlockBytes buffer;
        buffer.resize(size);
        copyBytes(pattern, buffer);
        const BlockBytes copy = buffer;
        EXPECT_TRUE(std::ranges::equal(copy, pattern)) << size;
    }
}

// The second release's boot file is found after the first name is reported not found; images
// without the files or entries the editor needs are refused, saying what is missing.
TEST(DataStoreImage, LooksForBothBootFilesAndRefusesImagesWithoutTheNeededFiles) {
    const DiscBlocks blocks;
    const std::string entries = " entries; the parameter data and the select data are its entries 16253 and 16256";
    const std::pair<std::vector<sample::DiscFile>, std::vector<std::string>> cases[] = {
        // files, messages after the image
        {test::discFiles(blocks, kBootFileNameSecondRelease), {"QXRT_418.27 not found in "}},
        {{{"FILEDATA.AFS", test::makeArchive(blocks)}}, {"QXRT_418.27 not found in ", "QXRZ_730.56 not found in "}},
        {{{"QXRT_418.27", blocks.boot}}, {"filedata.afs not found in "}},
        {test::discFiles(blocks, kBootFileName, blockmap::kSelectEntry), {"filedata.afs holds 16256" + entries}},
        {test::discFiles(blocks, kBootFileName, 10), {"filedata.afs holds 10" + entries}},
    };
    for (const auto& [files, texts] : cases) {
        SCOPED_TRACE(texts.back());
        TempDir dir;
        const fs::path image = test::writeImage(dir, files);
        MessageLog log;
        DataStore store(log);
        const bool second = files.size() == 3 && files[1].name == kBootFileNameSecondRelease;
        EXPECT_EQ(store.LoadFromImage(image) && sameBlocks(store, blocks), second);
        std::vector<std::string> want;
        for (const std::string& text : texts) want.push_back(text.ends_with(" in ") ? text + utf8Path(image) : text);
        EXPECT_EQ(test::texts(log), want);
        EXPECT_TRUE(!second || log.messages[0].caption == "ERROR");
    }
}

// Whatever stops one file from being written stops all three before any is written.
TEST(DataStoreDirectory, WritesNothingWhenOneFileCannotBeWritten) {
    const std::pair<const char*, std::function<void(const fs::path&)>> cases[] = {
        {kSelectFileName,
         [](const fs::path& f) {
             fs::remove(f);
             fs::create_directory(f);
         }},
        {kSelectFileName, [](const fs::path& f) { fs::resize_file(f, blockmap::kMinSelectSize - 1); }},
        {kBootFileName, [](const fs::path& f) { fs::remove(f); }},
    };
    const DiscBlocks original;
    for (const auto& [spoiled, spoil] : cases) {
        SCOPED_TRACE(spoiled);
        TempDir dir;
        const fs::path exported = test::writeExportDir(dir, original);
        MessageLog log;
        DataStore store(log);
        ASSERT_TRUE(store.LoadFromDirectory(exported));
        for (MutableByteSpan block : {store.blocks().boot, store.blocks().parameter, store.blocks().select})
            block[0] ^= 1;
        spoil(exported / spoiled);
        EXPECT_FALSE(store.WriteBack());
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_TRUE(log.messages[0].text.starts_with((exported / spoiled).string()) &&
                    log.messages[0].text.ends_with("\nFailed to save data to exported files!"))
            << log.messages[0].text;
        for (const auto& [name, block] : {std::pair{kBootFileName, &original.boot},
                                          {kParameterFileName, &original.parameter},
                                          {kSelectFileName, &original.select}})
            EXPECT_TRUE(std::string(name) == spoiled || test::readFile(exported / name) == *block) << name;
    }
}

// Data that runs past the end of the image: an image cut inside the select data after loading is
// not written at all, and a boot file whose record claims more than the image holds is refused.
TEST(DataStoreImage, RefusesDataRunningPastTheEndOfTheImage) {
    TempDir dir;
    const fs::path image = test::writeImage(dir, test::discFiles(DiscBlocks()));
    MessageLog log;
    DataStore store(log);
    ASSERT_TRUE(store.LoadFromImage(image));
    const AfsArchive& afs = store.archive();
    const std::uint64_t last = afs.GetOffset(blockmap::kSelectEntry) + afs.GetSize(blockmap::kSelectEntry) - 1;
    fs::resize_file(image, (store.source()->archiveFile()->startSector() + last / kUserDataSize) * kSectorSize +
                               kUserDataOffset + last % kUserDataSize);
    const auto cut = test::fileChecksum(image);
    store.blocks().boot[0] ^= 1;
    EXPECT_FALSE(store.WriteBack());
    EXPECT_EQ(log.messages.back().text, "Failed to save data to CD image!");
    EXPECT_EQ(test::fileChecksum(image), cut);

    log.messages.clear();
    test::patchDirectoryRecord(image, kBootFileName, 10, 0x7FFFFFFF);
    DataStore again(log);
    EXPECT_FALSE(again.LoadFromImage(image));
    ASSERT_FALSE(log.messages.empty());
    EXPECT_NE(log.messages[0].text.find("runs past the end"), std::string::npos) << log.messages[0].text;
}

}  // namespace
}  // namespace tarvo
