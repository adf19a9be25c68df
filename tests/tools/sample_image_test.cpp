// The sample disc as the editor meets it: a raw image whose every sector carries valid error
// codes, and the same three blocks, the generated ones, from the image and the exported files.

#include <gtest/gtest.h>

#include "sample/sample_disc.h"
#include "store/cd_sector.h"
#include "store/data_store.h"
#include "support/sample.h"

namespace tarvo::sample {
namespace {

TEST(SampleImage, EverySectorCarriesValidEdcAndParity) {
    const Bytes image = test::readFile(test::sampleImage());
    ASSERT_EQ(image.size() % cdsector::kSectorSize, 0u);
    for (std::size_t s = 0, bad = 0; s < image.size() / cdsector::kSectorSize && bad < 5; ++s) {
        const ByteSpan sector = ByteSpan(image).subspan(s * cdsector::kSectorSize, cdsector::kSectorSize);
        Bytes recoded(sector.begin(), sector.end());
        cdsector::encodeTail(recoded);
        if (!cdsector::hasValidEdc(sector) || !std::ranges::equal(recoded, sector)) {
            ADD_FAILURE() << "sector " << s << " head " << test::hex(sector.first(24));
            ++bad;
        }
    }
}

// Generated twice, the blocks are the same: the sample is deterministic.
TEST(SampleImage, BlocksFromImageAndFromExportedFilesAreTheGeneratedOnes) {
    MessageLog log;
    DataStore fromImage(log), fromFiles(log);
    ASSERT_TRUE(fromImage.LoadFromImage(test::sampleImage()));
    ASSERT_TRUE(fromFiles.LoadFromDirectory(test::sampleExportDir()));
    EXPECT_TRUE(log.messages.empty());
    const SampleBlocks made = makeSampleBlocks();
    for (const auto& [name, image, files, want] :
         {std::tuple{"boot", fromImage.boot(), fromFiles.boot(), ByteSpan(made.boot)},
          {"parameter", fromImage.parameter(), fromFiles.parameter(), ByteSpan(made.parameter)},
          {"select", fromImage.select(), fromFiles.select(), ByteSpan(made.select)}}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(std::ranges::equal(image, want));
        EXPECT_TRUE(std::ranges::equal(files, want));
    }
}

}  // namespace
}  // namespace tarvo::sample
