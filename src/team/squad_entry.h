#pragma once
// The squad list's entry of a slot: "<slot + 1>. " and the full name of the slot's player, or
// "empty position" for an empty slot. The bytes are the name's Shift-JIS bytes as stored.

#include "store/game_blocks.h"

namespace tarvo {

Bytes squadEntryText(const GameBlocks& blocks, int row, int slot);

}  // namespace tarvo
