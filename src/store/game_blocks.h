#pragma once
// The three data blocks loaded from the disc, as the records see them.

#include "store/bytes.h"

namespace tarvo {

// A view of the three loaded blocks. Every block is at least as long as the block map needs
// (the store refuses shorter files), so the records address them with the map's constants.
struct GameBlocks {
    MutableByteSpan boot;
    MutableByteSpan parameter;
    MutableByteSpan select;
};

// The same three blocks, read only.
struct ConstGameBlocks {
    ByteSpan boot;
    ByteSpan parameter;
    ByteSpan select;
};
inline ConstGameBlocks readOnly(const GameBlocks& blocks) { return {blocks.boot, blocks.parameter, blocks.select}; }

}  // namespace tarvo
