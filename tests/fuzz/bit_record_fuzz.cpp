// The bit-record codec: any 44 bytes expand and pack back to themselves; field writes keep the
// string's length, read back their low bits and touch no other character.

#include "fuzz_support.h"
#include "records/bit_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    fuzz::Input in(data, size);
    Bytes record(44, 0);
    const ByteSpan head = in.take(44);
    std::copy(head.begin(), head.end(), record.begin());
    BitRecord bits = expandRecord(record);
    FUZZ_CHECK(bits.size() == 352);
    Bytes packed(44, 0xEE);
    packRecord(bits, packed);
    FUZZ_CHECK(packed == record);

    while (!in.empty()) {
        const std::size_t position = in.u16() % 400, width = in.u8() % 12;
        const auto value = static_cast<std::int32_t>(in.u32());
        const BitRecord before = bits;
        writeField(bits, position, width, value);
        FUZZ_CHECK(bits.size() == 352);
        const bool inside = position + width <= 352 && width <= 32;
        if (!inside) continue;
        const std::uint32_t mask = width == 32 ? 0xFFFFFFFFu : (1u << width) - 1;
        FUZZ_CHECK(readField(bits, position, width) == (static_cast<std::uint32_t>(value) & mask));
        for (std::size_t k = 0; k < 352; ++k)
            if (k < position || k >= position + width) FUZZ_CHECK(bits[k] == before[k]);
    }
    packRecord(bits, packed);
    FUZZ_CHECK(expandRecord(packed) == bits);
    return 0;
}
