// A cooked ISO image keeps only the 2048 user bytes of each sector of the disc. It must load the
// blocks the raw image of the same disc loads, and the same edit written back into each must leave
// the same user bytes, sector for sector.

#include <algorithm>

#include <gtest/gtest.h>

#include "disc_fixture.h"
#include "records/player.h"
#include "store/file_io.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kRawSector = 2352, kCookedSector = 2048, kUserBytesAt = 24;

bool sameBlocks(const DataStore& a, const DataStore& b) {
    return std::ranges::equal(a.boot(), b.boot()) && std::ranges::equal(a.parameter(), b.parameter()) &&
           std::ranges::equal(a.select(), b.select());
}

// The sectors whose user bytes differ between a raw and a cooked image.
std::vector<std::size_t> differingSectors(const Bytes& raw, const Bytes& cooked) {
    std::vector<std::size_t> differ;
    for (std::size_t s = 0; s * kCookedSector < cooked.size(); ++s)
        if (!std::equal(cooked.begin() + static_cast<std::ptrdiff_t>(s * kCookedSector),
                        cooked.begin() + static_cast<std::ptrdiff_t>((s + 1) * kCookedSector),
                        raw.begin() + static_cast<std::ptrdiff_t>(s * kRawSector + kUserBytesAt)))
            differ.push_back(s);
    return differ;
}

TEST(CookedImage, LoadsEditsAndWritesBackLikeTheRawImage) {
    test::TempDir dir;
    const test::DiscBlocks blocks;
    const auto files = test::discFiles(blocks);
    const fs::path raw = test::writeImage(dir, files), cooked = dir / "disc.iso";
    ASSERT_TRUE(sample::writeDiscImage(cooked, files, 0, true));
    ASSERT_EQ(fs::file_size(cooked) / kCookedSector, fs::file_size(raw) / kRawSector);
    ASSERT_TRUE(differingSectors(test::readFile(raw), test::readFile(cooked)).empty());

    MessageLog log;
    DataStore fromRaw(log), fromCooked(log);
    ASSERT_TRUE(fromRaw.LoadFromImage(raw) && fromCooked.LoadFromImage(cooked))
        << (log.messages.empty() ? "" : log.messages.front().text);
    EXPECT_TRUE(sameBlocks(fromRaw, fromCooked));
    EXPECT_TRUE(fromCooked.source()->kind() == SourceKind::CookedImage && fromRaw.source()->kind() == SourceKind::RawImage);

    const std::uint64_t cookedSize = fs::file_size(cooked);
    for (DataStore* store : {&fromRaw, &fromCooked}) {
        ASSERT_TRUE(writePlayerName(store->blocks(), PlayerName::Full, 12, Bytes{'Z', 'I', 'C', 'O'}));
        store->blocks().boot.front() ^= 0xFF;
        store->blocks().select.back() ^= 0x0F;
        ASSERT_TRUE(store->WriteBack());
    }
    EXPECT_EQ(fs::file_size(cooked), cookedSize);
    EXPECT_TRUE(differingSectors(test::readFile(raw), test::readFile(cooked)).empty());
    EXPECT_FALSE(fs::exists(cooked.string() + ".tarvo-journal"));

    DataStore reloaded(log);
    ASSERT_TRUE(reloaded.LoadFromImage(cooked));
    EXPECT_TRUE(sameBlocks(reloaded, fromRaw));
    EXPECT_FALSE(std::ranges::equal(reloaded.boot(), blocks.boot));
}

}  // namespace
}  // namespace tarvo
