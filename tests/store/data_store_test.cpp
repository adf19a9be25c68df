#include "store/data_store.h"

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "disc_fixture.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::DiscBlocks;
using test::TempDir;

const Message kOk{"OK!", kAppName, MessageKind::Information};
const Message kImageSaveFailed{"Failed to save data to CD image!", kAppName, MessageKind::Warning};
const Message kDirectorySaveFailed{"Failed to save data to exported files!", kAppName, MessageKind::Warning};

Message notFound(const std::string& name, const fs::path& image) {
    return {name + " not found in " + image.string(), "ERROR", MessageKind::ReaderError};
}

bool sameBlocks(const DataStore& store, const DiscBlocks& blocks) {
    return std::ranges::equal(store.boot(), blocks.boot) && std::ranges::equal(store.parameter(), blocks.parameter) &&
           std::ranges::equal(store.select(), blocks.select);
}

// One suite for both sources: the image and the export directory.
enum class Source { Image, Directory };

class BothSources : public ::testing::TestWithParam<Source> {
protected:
    // Makes the source from `blocks`; returns the files whose bytes must be checked.
    std::vector<fs::path> make(const DiscBlocks& blocks) {
        if (GetParam() == Source::Image) {
            path = test::writeImage(dir, test::discFiles(blocks));
            return {path};
        }
        path = test::writeExportDir(dir, blocks);
        return {path / kBootFileName, path / kParameterFileName, path / kSelectFileName};
    }
    bool load(DataStore& store) {
        return GetParam() == Source::Image ? store.LoadFromImage(path) : store.LoadFromDirectory(path);
    }

    TempDir dir;
    fs::path path;
    MessageLog log;
};

TEST_P(BothSources, LoadsTheThreeBlocksWhole) {
    const DiscBlocks blocks;
    make(blocks);
    DataStore store(log);
    ASSERT_TRUE(load(store));
    EXPECT_TRUE(store.isLoaded());
    EXPECT_TRUE(sameBlocks(store, blocks));
    EXPECT_EQ(store.bootFileName(), kBootFileName);
    const bool image = GetParam() == Source::Image;
    EXPECT_EQ(store.sourceMode(), image ? SourceMode::CdImage : SourceMode::ExportedFiles);
    EXPECT_EQ(store.archive().entryCount(), image ? test::kFullArchiveEntries : 0u);
    EXPECT_EQ(store.archive().GetSize(blockmap::kParameterEntry), image ? blocks.parameter.size() : 0u);
    EXPECT_TRUE(log.messages.empty());
}

TEST_P(BothSources, WritingBackWithoutEditsChangesNoByte) {
    const auto files = make(DiscBlocks{});
    std::vector<std::uint64_t> before;
    for (const auto& f : files) before.push_back(test::fileChecksum(f));
    DataStore store(log);
    ASSERT_TRUE(load(store));
    ASSERT_TRUE(store.WriteBack());
    ASSERT_TRUE(store.WriteBack());
    for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(test::fileChecksum(files[i]), before[i]) << files[i];
    EXPECT_EQ(log.messages, (std::vector<Message>{kOk, kOk}));
}

TEST_P(BothSources, WritesEditsBackToTheSource) {
    DiscBlocks blocks;
    make(blocks);
    DataStore store(log);
    ASSERT_TRUE(load(store));
    // Edits at both ends of every block and inside sectors' user data.
    struct Edit {
        MutableByteSpan block;
        Bytes* shadow;
        std::size_t offset;
    };
    const GameBlocks view = store.blocks();
    for (const Edit e : {Edit{view.boot, &blocks.boot, 0}, Edit{view.boot, &blocks.boot, blockmap::kMinBootSize - 1},
                         Edit{view.parameter, &blocks.parameter, 2047}, Edit{view.select, &blocks.select, 409202}}) {
        e.block[e.offset] ^= 0xFF;
        (*e.shadow)[e.offset] ^= 0xFF;
    }
    ASSERT_TRUE(store.WriteBack());
    DataStore reloaded(log);
    ASSERT_TRUE(load(reloaded));
    EXPECT_TRUE(sameBlocks(reloaded, blocks));
    if (GetParam() == Source::Image) {
        // Only the three files changed, and every changed sector has valid codes again.
        EXPECT_TRUE(test::readFile(path) == sample::buildDiscImage(test::discFiles(blocks)));
    }
}

TEST_P(BothSources, RefusesBlocksShorterThanTheBlockMapNeeds) {
    struct Case {
        std::size_t boot, parameter, select;
        std::string imageText, directoryText;
    };
    const auto k = [](std::size_t n) { return std::to_string(n); };
    const Case cases[] = {
        {blockmap::kMinBootSize - 1, blockmap::kMinParameterSize, blockmap::kMinSelectSize,
         "QXRT_418.27 holds " + k(blockmap::kMinBootSize - 1) + " bytes; the editor needs at least 2500484 bytes", ""},
        {blockmap::kMinBootSize, blockmap::kMinParameterSize - 1, blockmap::kMinSelectSize,
         "parameter.ovl (entry 16253 of filedata.afs) holds 227409 bytes; the editor needs at least 227410 bytes",
         "parameter.ovl holds 227409 bytes; the editor needs at least 227410 bytes"},
        {blockmap::kMinBootSize, blockmap::kMinParameterSize, 0,
         "select.ovl (entry 16256 of filedata.afs) holds 0 bytes; the editor needs at least 413596 bytes",
         "select.ovl holds 0 bytes; the editor needs at least 413596 bytes"},
    };
    for (const Case& c : cases) {
        DiscBlocks blocks;
        blocks.boot.resize(c.boot);
        blocks.parameter.resize(c.parameter);
        blocks.select.resize(c.select);
        make(blocks);
        log.messages.clear();
        DataStore store(log);
        EXPECT_FALSE(load(store));
        EXPECT_FALSE(store.isLoaded());
        const std::string& text = GetParam() == Source::Image || c.directoryText.empty() ? c.imageText : c.directoryText;
        EXPECT_EQ(test::texts(log), std::vector<std::string>{text});
    }
}

INSTANTIATE_TEST_SUITE_P(Store, BothSources, ::testing::Values(Source::Image, Source::Directory),
                         [](const auto& info) { return info.param == Source::Image ? "Image" : "Directory"; });

TEST(DataStoreImage, LoadsAndSavesTheSecondReleaseAfterTheFirstNameIsNotFound) {
    TempDir dir;
    const DiscBlocks blocks;
    const fs::path image = test::writeImage(dir, test::discFiles(blocks, kBootFileNameSecondRelease));
    MessageLog log;
    DataStore store(log);
    ASSERT_TRUE(store.LoadFromImage(image));
    EXPECT_EQ(store.bootFileName(), kBootFileNameSecondRelease);
    EXPECT_TRUE(sameBlocks(store, blocks));
    ASSERT_TRUE(store.WriteBack());
    EXPECT_EQ(log.messages, (std::vector<Message>{notFound("QXRT_418.27", image), notFound("QXRT_418.27", image), kOk}));
}

TEST(DataStoreImage, RefusesImagesWithoutTheNeededFilesOrEntries) {
    const DiscBlocks blocks;
    struct Case {
        const char* what;
        std::vector<sample::DiscFile> files;
        std::vector<std::string> texts;  // with {} for the image path
    };
    const Case cases[] = {
        {"no boot file", {{"FILEDATA.AFS", test::makeArchive(blocks)}},
         {"QXRT_418.27 not found in {}", "QXRZ_730.56 not found in {}"}},
        {"no archive", {{"QXRT_418.27", blocks.boot}}, {"filedata.afs not found in {}"}},
        {"the select entry missing", test::discFiles(blocks, kBootFileName, blockmap::kSelectEntry),
         {"filedata.afs holds 16256 entries; the parameter data and the select data are its entries 16253 and 16256"}},
        {"both entries missing", test::discFiles(blocks, kBootFileName, 10),
         {"filedata.afs holds 10 entries; the parameter data and the select data are its entries 16253 and 16256"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const fs::path image = test::writeImage(dir, c.files);
        MessageLog log;
        DataStore store(log);
        EXPECT_FALSE(store.LoadFromImage(image));
        EXPECT_FALSE(store.isLoaded());
        std::vector<std::string> want;
        for (std::string text : c.texts) {
            if (auto at = text.find("{}"); at != std::string::npos) text.replace(at, 2, image.string());
            want.push_back(text);
        }
        EXPECT_EQ(test::texts(log), want);
        EXPECT_EQ(store.archive().entryCount(), 0u);
    }
}

// A directory record may claim any size: it is checked against the image before anything is
// made that large.
TEST(DataStoreImage, RefusesFilesClaimingMoreThanTheImageHolds) {
    for (const char* name : {"QXRT_418.27", "FILEDATA.AFS"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        const fs::path image = test::writeImage(dir, test::discFiles(DiscBlocks{}));
        test::patchDirectoryRecord(image, name, 10, 0xFFFFFF00);
        MessageLog log;
        DataStore store(log);
        EXPECT_FALSE(store.LoadFromImage(image));
        EXPECT_EQ(log.messages, (std::vector<Message>{{"Can not read " + std::string(name) + ": it runs past the end of " +
                                                           image.string() + " (" + std::to_string(fs::file_size(image)) +
                                                           " bytes)",
                                                       "ERROR", MessageKind::ReaderError}}));
    }
}

TEST(DataStoreImage, WritesNothingWhenTheLastEntryNoLongerFitsInTheImage) {
    TempDir dir;
    DiscBlocks blocks;
    const fs::path image = test::writeImage(dir, test::discFiles(blocks));
    MessageLog log;
    DataStore store(log);
    ASSERT_TRUE(store.LoadFromImage(image));
    // The select data is the archive's last entry and the archive the image's last file: cut the
    // image inside the select data's last sector.
    const AfsArchive& archive = store.archive();
    const std::uint64_t selectEnd = std::uint64_t{archive.GetOffset(blockmap::kSelectEntry)} + archive.GetSize(blockmap::kSelectEntry);
    fs::resize_file(image, (archive.startSector() + (selectEnd - 1) / kUserDataSize) * kRawSectorSize + 100);
    const auto before = test::fileChecksum(image);
    store.blocks().boot[0] ^= 1;
    store.blocks().parameter[0] ^= 1;
    EXPECT_FALSE(store.WriteBack());
    EXPECT_EQ(test::fileChecksum(image), before);
    EXPECT_EQ(log.messages, (std::vector<Message>{{"The data to save runs past the end of " + image.string(), "ERROR",
                                                   MessageKind::ReaderError},
                                                  kImageSaveFailed}));
}

TEST(DataStoreImage, ReportsAnImageThatCannotBeOpenedForWriting) {
    TempDir dir;
    const fs::path image = test::writeImage(dir, test::discFiles(DiscBlocks{}));
    MessageLog log;
    DataStore store(log);
    ASSERT_TRUE(store.LoadFromImage(image));
    fs::remove(image);
    EXPECT_FALSE(store.WriteBack());
    // Each boot file name is tried, and each try shows the open failure.
    const Message openFailed{"Can not open ISO file!", "ERROR", MessageKind::ReaderError};
    EXPECT_EQ(log.messages, (std::vector<Message>{openFailed, openFailed, kImageSaveFailed}));
    EXPECT_FALSE(fs::exists(image)) << "the image must never be created";
}

TEST(DataStoreDirectory, PrefersTheFirstBootFileName) {
    struct Case {
        std::vector<std::string> bootNames;
        std::string loaded;
    };
    for (const Case& c : {Case{{kBootFileName, kBootFileNameSecondRelease}, kBootFileName},
                          Case{{kBootFileNameSecondRelease}, kBootFileNameSecondRelease}}) {
        SCOPED_TRACE(c.loaded);
        TempDir dir;
        DiscBlocks blocks;
        const fs::path exported = test::writeExportDir(dir, blocks, c.bootNames[0]);
        DiscBlocks other;
        other.boot = test::patterned(blockmap::kMinBootSize, 77);
        if (c.bootNames.size() > 1) test::writeFile(exported / c.bootNames[1], other.boot);
        MessageLog log;
        DataStore store(log);
        ASSERT_TRUE(store.LoadFromDirectory(exported.string() + "/"));  // a trailing separator is fine
        EXPECT_EQ(store.bootFileName(), c.loaded);
        EXPECT_TRUE(sameBlocks(store, blocks));
        store.blocks().boot[5] ^= 1;
        const auto otherBefore = c.bootNames.size() > 1 ? test::fileChecksum(exported / c.bootNames[1]) : 0;
        ASSERT_TRUE(store.WriteBack());
        EXPECT_EQ(test::readFile(exported / c.loaded)[5], blocks.boot[5] ^ 1);
        if (c.bootNames.size() > 1) {
            EXPECT_EQ(test::fileChecksum(exported / c.bootNames[1]), otherBefore);
        }
    }
}

TEST(DataStoreDirectory, RefusesADirectoryMissingAFileWithoutAMessage) {
    for (const char* missing : {kBootFileName, kParameterFileName, kSelectFileName}) {
        SCOPED_TRACE(missing);
        TempDir dir;
        const fs::path exported = test::writeExportDir(dir, DiscBlocks{});
        fs::remove(exported / missing);
        MessageLog log;
        DataStore store(log);
        EXPECT_FALSE(store.LoadFromDirectory(exported));
        EXPECT_FALSE(store.isLoaded());
        EXPECT_TRUE(log.messages.empty());
    }
}

// Whatever stops one file from being written stops all three before any is written.
TEST(DataStoreDirectory, WritesNothingWhenOneFileCannotBeWritten) {
    struct Case {
        const char* what;
        const char* file;
        std::function<void(const fs::path&)> spoil;
    };
    const Case cases[] = {
        {"select.ovl replaced by a folder", kSelectFileName,
         [](const fs::path& f) { fs::remove(f); fs::create_directory(f); }},
        {"select.ovl removed", kSelectFileName, [](const fs::path& f) { fs::remove(f); }},
        {"select.ovl one byte shorter", kSelectFileName,
         [](const fs::path& f) { fs::resize_file(f, blockmap::kMinSelectSize - 1); }},
        {"parameter.ovl one byte longer", kParameterFileName,
         [](const fs::path& f) { fs::resize_file(f, blockmap::kMinParameterSize + 1); }},
        {"the boot file removed", kBootFileName, [](const fs::path& f) { fs::remove(f); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const fs::path exported = test::writeExportDir(dir, DiscBlocks{});
        MessageLog log;
        DataStore store(log);
        ASSERT_TRUE(store.LoadFromDirectory(exported));
        for (MutableByteSpan block : {store.blocks().boot, store.blocks().parameter, store.blocks().select}) block[0] ^= 1;
        c.spoil(exported / c.file);
        std::vector<std::pair<fs::path, std::uint64_t>> others;
        for (const char* name : {kBootFileName, kParameterFileName, kSelectFileName})
            if (std::string(name) != c.file) others.emplace_back(exported / name, test::fileChecksum(exported / name));
        EXPECT_FALSE(store.WriteBack());
        EXPECT_EQ(log.messages, std::vector<Message>{kDirectorySaveFailed});
        for (const auto& [file, sum] : others) EXPECT_EQ(test::fileChecksum(file), sum) << file;
    }
}

TEST(DataStoreBlocks, AdoptsBlocksOfTheNeededSizesOnly) {
    struct Case {
        std::size_t boot, parameter, select;
        bool adopted;
        const char* text;
    };
    const Case cases[] = {
        {blockmap::kMinBootSize, blockmap::kMinParameterSize, blockmap::kMinSelectSize, true, nullptr},
        {blockmap::kMinBootSize - 1, blockmap::kMinParameterSize, blockmap::kMinSelectSize, false,
         "QXRT_418.27 holds 2500483 bytes; the editor needs at least 2500484 bytes"},
        {blockmap::kMinBootSize, 10, blockmap::kMinSelectSize, false,
         "parameter.ovl holds 10 bytes; the editor needs at least 227410 bytes"},
        {blockmap::kMinBootSize, blockmap::kMinParameterSize, blockmap::kMinSelectSize - 1, false,
         "select.ovl holds 413595 bytes; the editor needs at least 413596 bytes"},
    };
    for (const Case& c : cases) {
        MessageLog log;
        DataStore store(log);
        EXPECT_EQ(store.adoptBlocks(Bytes(c.boot, 1), Bytes(c.parameter, 2), Bytes(c.select, 3)), c.adopted);
        EXPECT_EQ(store.isLoaded(), c.adopted);
        if (c.text) {
            EXPECT_EQ(test::texts(log), std::vector<std::string>{c.text});
        }
        if (!c.adopted) continue;
        EXPECT_EQ(store.sourceMode(), SourceMode::ExportedFiles);
        EXPECT_EQ(store.blocks().select[0], 3);
        // Blocks made in memory have nowhere to go.
        EXPECT_FALSE(store.WriteBack());
        EXPECT_EQ(log.messages, std::vector<Message>{kDirectorySaveFailed});
        store.ReleaseData();
        EXPECT_FALSE(store.isLoaded());
        EXPECT_TRUE(store.boot().empty());
    }
}

}  // namespace
}  // namespace tarvo
