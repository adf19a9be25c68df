#pragma once
// Game data blocks made in memory for tests: the three blocks at the smallest sizes the block map
// needs, zero-filled or filled with a pattern that shows moved or lost bytes; or the sample disc's.

#include <algorithm>
#include <cstdint>
#include <utility>

#include "sample/sample_disc.h"
#include "store/block_map.h"
#include "store/bytes.h"
#include "store/data_store.h"
#include "support/sample.h"

namespace tarvo::test {

struct TestBlocks {
    Bytes boot = Bytes(blockmap::kMinBootSize, 0);
    Bytes parameter = Bytes(blockmap::kMinParameterSize, 0);
    Bytes select = Bytes(blockmap::kMinSelectSize, 0);

    GameBlocks view() { return {boot, parameter, select}; }
    ConstGameBlocks read() const { return {boot, parameter, select}; }

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

// A store's blocks, read only.
inline ConstGameBlocks storeView(const DataStore& store) { return {store.boot(), store.parameter(), store.select()}; }

// Whether two sets of blocks hold the same bytes (blocks of different lengths differ).
inline bool sameBlocks(ConstGameBlocks a, ConstGameBlocks b) {
    return std::ranges::equal(a.boot, b.boot) && std::ranges::equal(a.parameter, b.parameter) &&
           std::ranges::equal(a.select, b.select);
}

// The sample disc's blocks, made in memory: data the game reads, as an export from real data.
inline TestBlocks sampleBlocks() {
    sample::SampleBlocks s = sample::makeSampleBlocks();
    return {std::move(s.boot), std::move(s.parameter), std::move(s.select)};
}

}  // namespace tarvo::test
