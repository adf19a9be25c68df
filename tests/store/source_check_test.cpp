#include "store/source_check.h"

#include <fstream>

#include <gtest/gtest.h>

#include "support/platform.h"
#include "support/sample.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

void makeFile(const fs::path& file, std::uintmax_t size) {
    std::ofstream(file, std::ios::binary).put('x');
    fs::resize_file(file, size);
}

// A raw image needs 700000000 bytes (any size beyond, also past 32 bits); a cooked image holds 2048
// of each 2352 bytes of a disc, so it needs 609523810 bytes. Its kind is told by where the volume
// descriptor's "CD001" stands: byte 1 of sector 16, which is byte 32769 of a cooked image and byte
// 37657 of a raw one (24 bytes of sync, header and subheader first).
TEST(SourceCheck, ImagesAreToldByTheVolumeDescriptorAndNeedTheSizeOfADisc) {
    const struct {
        std::uint64_t markAt, size;
        ImageCheck check;
    } cases[] = {
        {32769, 609523810, ImageCheck::Ok},       {32769, 609523809, ImageCheck::TooSmall},
        {37657, 609523810, ImageCheck::TooSmall}, {37657, 700000000, ImageCheck::Ok},
        {0, 699999999, ImageCheck::TooSmall},     {0, 700000000, ImageCheck::Ok},
        {0, 4'500'000'000, ImageCheck::Ok},
    };
    test::TempDir probe;
    if (!test::makesHoles(probe.path())) TARVO_SKIP("the file system makes no holes: the images would be written out whole");
    for (const auto& c : cases) {
        test::TempDir dir;
        ASSERT_TRUE(test::makeSparseFile(dir / "image", c.size));
        if (c.markAt != 0) {
            std::fstream file(dir / "image", std::ios::binary | std::ios::in | std::ios::out);
            file.seekp(static_cast<std::streamoff>(c.markAt));
            file.write("CD001", 5);
        }
        EXPECT_EQ(checkImageFile(dir / "image"), c.check) << c.markAt << " " << c.size;
    }
    test::TempDir dir;
    EXPECT_EQ(checkImageFile(dir / "missing.bin"), ImageCheck::CannotRead);
    EXPECT_EQ(checkImageFile(dir.path()), ImageCheck::CannotRead);
}

// Both data files and either boot file, by their exact names (or, where the file system ignores
// case, in any case); a folder named like one is no file.
TEST(SourceCheck, ExportFoldersNeedBothDataFilesAndABootFile) {
    const std::pair<std::vector<const char*>, bool> cases[] = {
        {{"select.ovl", "parameter.ovl", "QXRT_418.27"}, true},
        {{"select.ovl", "parameter.ovl", "QXRZ_730.56"}, true},
        {{"select.ovl", "QXRT_418.27"}, false},
        {{"parameter.ovl", "QXRZ_730.56"}, false},
        {{"select.ovl", "parameter.ovl"}, false},
        {{"SELECT.OVL", "parameter.ovl", "QXRT_418.27"}, test::ignoresCase(test::TempDir().path())},
        {{"select.ovl/", "parameter.ovl", "QXRT_418.27"}, false},
        {{}, false},
    };
    for (const auto& [files, accepted] : cases) {
        test::TempDir dir;
        std::string names;
        for (const std::string name : files) {
            if (name.ends_with('/')) fs::create_directory(dir / name);
            else makeFile(dir / name, 4);
            names += name + " ";
        }
        SCOPED_TRACE(names);
        EXPECT_EQ(isExportDirectory(dir.path()), accepted);
        EXPECT_EQ(isExportDirectory(dir.path() / ""), accepted);  // a trailing separator changes nothing
    }
    EXPECT_FALSE(isExportDirectory(test::TempDir().path() / "missing"));
}

}  // namespace
}  // namespace tarvo
