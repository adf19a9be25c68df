#include "store/cd_sector.h"

#include <gtest/gtest.h>

#include "support/sample.h"

namespace tarvo {
namespace {

namespace cd = cdsector;

// tests/data/m2f1-sectors.bin: four sectors at these addresses (zero data, random data, and a
// sector with subheader 01 02 09 00). Heads and tails must come out exactly as recorded.
TEST(CdSector, ReproducesHeadsAndTailsOfReferenceSectors) {
    const Bytes all = test::readFile(test::testDataDir() / "m2f1-sectors.bin");
    const std::uint32_t lbas[] = {0, 16, 1000, 18528};
    ASSERT_EQ(all.size(), std::size(lbas) * cd::kSectorSize);
    for (std::size_t i = 0; i < std::size(lbas); ++i) {
        SCOPED_TRACE(lbas[i]);
        const ByteSpan original = ByteSpan(all).subspan(i * cd::kSectorSize, cd::kSectorSize);
        EXPECT_TRUE(cd::hasValidEdc(original));
        Bytes sector(original.begin(), original.end());
        std::fill(sector.begin(), sector.begin() + cd::kSubheaderOffset, 0x77);
        std::fill(sector.begin() + cd::kTailOffset, sector.end(), 0xA5);
        cd::writeHead(sector, lbas[i]);
        cd::encodeTail(sector);
        EXPECT_EQ(test::hex(ByteSpan(sector).first(cd::kSubheaderOffset)),
                  test::hex(original.first(cd::kSubheaderOffset)));
        EXPECT_EQ(test::hex(ByteSpan(sector).subspan(cd::kTailOffset)), test::hex(original.subspan(cd::kTailOffset)));
    }
}

}  // namespace
}  // namespace tarvo
