// The player file: a refused file leaves the blocks byte for byte as they were; an accepted one
// is the player's data in both copies, and the player's file is then the first 103 bytes.

#include "fuzz_support.h"
#include "player/player_file.h"
#include "records/player.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    static const fuzz::Blocks original;
    static fuzz::Blocks blocks;
    blocks.copyFrom(original);
    const std::uint32_t id = 1 + static_cast<std::uint32_t>(size * 7919 % blockmap::kPlayerCount);
    const ByteSpan file(data, size);
    if (!applyPlayerFile(blocks.view(), id, file)) {
        FUZZ_CHECK(blocks == original);
        return 0;
    }
    FUZZ_CHECK(size >= kPlayerFileSize);
    const Bytes built = buildPlayerFile(blocks.view(), id);
    FUZZ_CHECK(built.size() == kPlayerFileSize && std::equal(built.begin(), built.end(), data));
    // The second copies: the same file read from them.
    const std::size_t n = id - 1;
    FUZZ_CHECK(std::equal(data + 10, data + 41, blocks.select.begin() + long(blockmap::kFullNameCopyOffset + 31 * n)));
    FUZZ_CHECK(std::equal(data + 41, data + 57, blocks.select.begin() + long(blockmap::kBackNameCopyOffset + 16 * n)));
    FUZZ_CHECK(std::equal(data + 57, data + 59, blocks.select.begin() + long(blockmap::kCallNumberCopyOffset + 2 * n)));
    FUZZ_CHECK(std::equal(data + 59, data + 103, blocks.boot.begin() + long(blockmap::kRecordCopyOffset + 44 * n)));
    return 0;
}
