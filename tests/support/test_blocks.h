#pragma once
// Game data blocks made in memory for tests: the three blocks at the smallest sizes the block map
// needs, zero-filled or filled with a pattern, and helpers to compare them byte for byte.

#include <cstdint>
#include <string>

#include "store/block_map.h"
#include "store/bytes.h"
#include "store/data_store.h"

namespace tarvo::test {

struct TestBlocks {
    Bytes boot = Bytes(blockmap::kMinBootSize, 0);
    Bytes parameter = Bytes(blockmap::kMinParameterSize, 0);
    Bytes select = Bytes(blockmap::kMinSelectSize, 0);

    GameBlocks view() { return {boot, parameter, select}; }

    // Every byte gets a value from its block and position, so that moved or lost bytes show.
    void fillPattern(std::uint32_t seed = 1) {
        std::uint32_t x = seed;
        for (Bytes* block : {&boot, &parameter, &select})
            for (auto& b : *block) {
                x = x * 1664525u + 1013904223u;
                b = static_cast<std::uint8_t>(x >> 24);
            }
    }

    bool operator==(const TestBlocks&) const = default;
};

inline std::string hexOf(ByteSpan data) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (auto b : data) {
        out += digits[b >> 4];
        out += digits[b & 15];
        out += ' ';
    }
    return out;
}

// The first offset at which two blocks differ, or -1 ("block differs at ..." in failures).
inline long firstDifference(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size()) return 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return static_cast<long>(i);
    return -1;
}

}  // namespace tarvo::test
