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

TEST(SourceCheck, ImagesMustBeReadableAndAtLeast700000000Bytes) {
    test::TempDir dir;
    for (const auto& [size, check] : {std::pair{700000000ull, ImageCheck::Ok},
                                      {699999999ull, ImageCheck::TooSmall},
                                      {4'500'000'000ull, ImageCheck::Ok}}) {
        if (!test::makeSparseFile(dir / "image.bin", size)) continue;  // it would be written out whole
        EXPECT_EQ(checkImageFile(dir / "image.bin"), check) << size;
    }
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
