#include "store/source_check.h"

#include <fstream>

#include <gtest/gtest.h>

#include "support/sample.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

void makeFile(const fs::path& file, std::uintmax_t size) {
    std::ofstream(file, std::ios::binary).put('x');
    fs::resize_file(file, size);  // sparse: no 700 MB written
}

TEST(SourceCheck, ImagesMustBeReadableAndAtLeast700000000Bytes) {
    test::TempDir dir;
    makeFile(dir / "exact.bin", 700000000);
    makeFile(dir / "short.bin", 699999999);
    makeFile(dir / "large", 4'500'000'000ull);  // beyond 32 bits
    EXPECT_EQ(checkImageFile(dir / "exact.bin"), ImageCheck::Ok);
    EXPECT_EQ(checkImageFile(dir / "short.bin"), ImageCheck::TooSmall);
    EXPECT_EQ(checkImageFile(dir / "large"), ImageCheck::Ok);
    EXPECT_EQ(checkImageFile(dir / "missing.bin"), ImageCheck::CannotRead);
    EXPECT_EQ(checkImageFile(dir.path()), ImageCheck::CannotRead);
}

TEST(SourceCheck, ExportFoldersNeedBothDataFilesAndABootFile) {
    struct Case {
        std::vector<const char*> files;
        bool accepted;
    };
    const Case cases[] = {
        {{"select.ovl", "parameter.ovl", "QXRT_418.27"}, true},
        {{"select.ovl", "parameter.ovl", "QXRZ_730.56"}, true},
        {{"select.ovl", "parameter.ovl", "QXRT_418.27", "QXRZ_730.56"}, true},
        {{"select.ovl", "QXRT_418.27"}, false},
        {{"parameter.ovl", "QXRZ_730.56"}, false},
        {{"select.ovl", "parameter.ovl"}, false},
        {{"SELECT.OVL", "parameter.ovl", "QXRT_418.27"}, false},
        {{}, false},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        std::string names;
        for (const char* name : c.files) {
            makeFile(dir / name, 4);
            names += std::string(name) + " ";
        }
        SCOPED_TRACE(names);
        EXPECT_EQ(isExportDirectory(dir.path()), c.accepted);
        // A trailing separator changes nothing.
        EXPECT_EQ(isExportDirectory(dir.path() / ""), c.accepted);
    }
    // A folder named like a data file is no file.
    test::TempDir dir;
    fs::create_directory(dir / "select.ovl");
    makeFile(dir / "parameter.ovl", 4);
    makeFile(dir / "QXRT_418.27", 4);
    EXPECT_FALSE(isExportDirectory(dir.path()));
    EXPECT_FALSE(isExportDirectory(dir / "missing"));
}

}  // namespace
}  // namespace tarvo
