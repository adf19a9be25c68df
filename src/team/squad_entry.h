#pragma once
// The squad list's entry of a slot: "<slot + 1>. " and the full name of the slot's player, or
// "empty position" for an empty slot. The bytes are the name's Shift-JIS bytes as stored.

#include "store/game_blocks.h"

namespace tarvo {

Bytes squadEntryText(const GameBlocks& blocks, int row, int slot);
// The shirt number a slot shows: stored byte + 1, kept within 1 to 99.
int shownShirtNumber(const GameBlocks& blocks, int row, int slot);
// The tactics value a field shows: stored byte div 5, kept within 4 to 19.
int shownTactics(const GameBlocks& blocks, int row, int k);

}  // namespace tarvo
