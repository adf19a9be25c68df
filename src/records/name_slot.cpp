#include "records/name_slot.h"

#include <algorithm>

namespace tarvo {

Bytes readNameSlot(ByteSpan slot) {
    const auto end = std::find(slot.begin(), slot.end(), std::uint8_t{0});
    return Bytes(slot.begin(), end);
}

bool storeNameSlot(MutableByteSpan slot, ByteSpan text) {
    if (text.size() >= slot.size()) return false;
    std::fill(slot.begin(), slot.end(), std::uint8_t{0});
    std::copy(text.begin(), text.end(), slot.begin());
    return true;
}

}  // namespace tarvo
