#pragma once
// A name slot: a fixed-length byte field holding one name: the text's bytes, a NUL, then NULs to
// the end of the slot. The bytes are Shift-JIS; no conversion happens here.

#include <cstddef>

#include "store/bytes.h"

namespace tarvo {

// The most text bytes a slot of `slotSize` bytes holds: one less, which leaves room for the NUL.
constexpr std::size_t maxNameTextBytes(std::size_t slotSize) { return slotSize - 1; }

// The text bytes up to the first NUL, or the whole slot when it holds none.
Bytes readNameSlot(ByteSpan slot);
// Fills the slot with NULs and copies the text; false (slot unchanged) when the text does not
// leave room for its NUL (text.size() >= slot.size()).
bool storeNameSlot(MutableByteSpan slot, ByteSpan text);

}  // namespace tarvo
