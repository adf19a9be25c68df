#include "store/cd_sector.h"

#include <gtest/gtest.h>

#include "support/sample.h"

namespace tarvo {
namespace {

namespace cd = cdsector;

struct ReferenceSector {
    std::uint32_t lba;
    const char* what;
};

// The four sectors of tests/data/m2f1-sectors.bin, in file order.
constexpr ReferenceSector kReferenceSectors[] = {
    {0, "zero user data"},
    {16, "random user data"},
    {1000, "random user data"},
    {18528, "random user data, subheader 01 02 09 00"},
};

Bytes referenceSector(std::size_t index) {
    const Bytes all = test::readFile(test::testDataDir() / "m2f1-sectors.bin");
    const auto begin = all.begin() + static_cast<std::ptrdiff_t>(index * cd::kSectorSize);
    return Bytes(begin, begin + cd::kSectorSize);
}

TEST(CdSector, ReproducesTheTailsOfReferenceSectors) {
    for (std::size_t i = 0; i < std::size(kReferenceSectors); ++i) {
        SCOPED_TRACE(kReferenceSectors[i].what);
        const Bytes original = referenceSector(i);
        ASSERT_EQ(original.size(), cd::kSectorSize);
        EXPECT_TRUE(cd::hasValidEdc(original));

        Bytes sector = original;
        std::fill(sector.begin() + cd::kTailOffset, sector.end(), 0xA5);
        cd::encodeTail(sector);
        const ByteSpan want = ByteSpan(original).subspan(cd::kTailOffset);
        const ByteSpan got = ByteSpan(sector).subspan(cd::kTailOffset);
        if (!std::equal(want.begin(), want.end(), got.begin())) {
            SCOPED_TRACE("expected " + test::hex(want.first(16)) + " got " + test::hex(got.first(16)));
            ADD_FAILURE() << "tail differs";
        }
        // The parity is computed with a zero header, but the header itself stays.
        EXPECT_TRUE(std::equal(original.begin(), original.begin() + cd::kUserDataOffset, sector.begin()));
    }
}

TEST(CdSector, WritesTheHeadsOfReferenceSectors) {
    for (std::size_t i = 0; i < std::size(kReferenceSectors); ++i) {
        SCOPED_TRACE(kReferenceSectors[i].lba);
        const Bytes original = referenceSector(i);
        Bytes sector(cd::kSectorSize, 0x77);
        cd::writeHead(sector, kReferenceSectors[i].lba);
        EXPECT_EQ(test::hex(ByteSpan(sector).first(cd::kSubheaderOffset)),
                  test::hex(ByteSpan(original).first(cd::kSubheaderOffset)));
    }
}

TEST(CdSector, EdcNoticesAnyChangedByteOfSubheaderOrUserData) {
    const Bytes original = referenceSector(1);
    for (std::size_t at : {cd::kSubheaderOffset, cd::kUserDataOffset, cd::kUserDataOffset + 1000, cd::kEdcOffset - 1,
                           cd::kEdcOffset}) {
        SCOPED_TRACE(at);
        Bytes sector = original;
        sector[at] ^= 0x01;
        EXPECT_FALSE(cd::hasValidEdc(sector));
    }
    // The header and the parity are not covered by the EDC.
    for (std::size_t at : {cd::kHeaderOffset, cd::kPParityOffset, cd::kQParityOffset}) {
        Bytes sector = original;
        sector[at] ^= 0x01;
        EXPECT_TRUE(cd::hasValidEdc(sector)) << at;
    }
    EXPECT_FALSE(cd::hasValidEdc(ByteSpan(original).first(cd::kSectorSize - 1)));
}

}  // namespace
}  // namespace tarvo
