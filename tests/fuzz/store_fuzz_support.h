#pragma once
// The disc image and exported folder targets start from the sample disc's blocks, held in memory,
// and change them with the fuzzer's edits: each edit is a region byte, an offset in that region, a
// length and that many bytes to put there.

#include <functional>

#include "fuzz_support.h"
#include "memory_files.h"
#include "sample/sample_disc.h"
#include "store/messages.h"

namespace tarvo::fuzz {

// The sample disc's blocks, made once per process.
inline const sample::SampleBlocks& sampleBlocks() {
    static const sample::SampleBlocks blocks = sample::makeSampleBlocks();
    return blocks;
}

// Applies the edits of the input to `file`; `region` maps a region byte and an offset to the
// position of the bytes to change (clamped to the file, which an edit never grows). Region byte
// 255 cuts the file at the offset.
inline void applyEdits(Input& in, MemoryFile& file,
                       const std::function<std::uint64_t(std::uint8_t, std::uint32_t)>& region) {
    while (!in.empty()) {
        const std::uint8_t kind = in.u8();
        const std::uint32_t offset = in.u32();
        const ByteSpan bytes = in.take(in.u8());
        if (file.size() == 0) return;
        if (kind == 255) {
            file.resize(offset % file.size());
            continue;
        }
        const std::uint64_t at = std::min(region(kind, offset), file.size() - 1);
        file.write(at, bytes.first(static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), file.size() - at))));
    }
}

// Whether any page of `file` was written since it was copied from `before`, or its size changed.
inline bool changedSince(const MemoryFile& file, const MemoryFile& before) {
    bool changed = file.size() != before.size();
    file.forEachChangedPage(before, [&](std::uint64_t) { changed = true; });
    return changed;
}

// Whether an input that loads goes on to a write-back and a fresh load: one in four, by a hash of
// all its bytes, so that the inputs made from one that writes back write back one in four too.
// A write-back costs several loads; the loader's checks, where a hostile image or folder bites,
// are then run at most of the fuzzer's pace.
FUZZ_NO_COVERAGE inline bool writesBack(ByteSpan input) {
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (const std::uint8_t b : input) hash = (hash ^ b) * 16777619u;
    return hash >> 30 == 0;
}

// Changes one byte of each block, at places taken from the input, so that a write-back has
// something to carry.
inline void editBlocks(DataStore& store, std::uint32_t where) {
    const GameBlocks blocks = store.blocks();
    for (MutableByteSpan block : {blocks.boot, blocks.parameter, blocks.select})
        if (!block.empty()) block[where % block.size()] ^= 0x5A;
}

// The files and the two stores a target loads into (the second reads back what the first wrote),
// kept from one input to the next: a load then fills the memory of the last input's blocks rather
// than taking 3 MB afresh.
struct Stores {
    MemoryFiles files;
    MessageLog log;
    DataStore store{log, files};
    DataStore reloaded{log, files};
    Stores() {
        store.setBackups(false);
        reloaded.setBackups(false);
    }
    // The one instance for an input: the files and messages the input made go when it ends, so
    // that an input frees what it takes (where it does not, libFuzzer runs it again to look for a
    // leak). The instance is never destroyed: at exit it would be taken down after what it uses.
    struct ForInput {
        Stores& stores = kept();
        ~ForInput() {
            stores.files.files.clear();
            stores.log.messages.clear();
            stores.log.messages.shrink_to_fit();
        }
    };

private:
    static Stores& kept() {
        static Stores& stores = *new Stores;
        return stores;
    }
};

inline bool sameBlocks(const DataStore& a, const DataStore& b) {
    return std::ranges::equal(a.boot(), b.boot()) && std::ranges::equal(a.parameter(), b.parameter()) &&
           std::ranges::equal(a.select(), b.select());
}

}  // namespace tarvo::fuzz
