// Shift-JIS text: any bytes decode; a decoded text that encodes decodes back to itself, and its
// encoding is stable; glyph index lists stay within 50 entries and the glyph sheet.

#include "fuzz_support.h"
#include "text/glyphs.h"
#include "text/sjis.h"

namespace {

void checkRoundTrip(std::string_view text) {
    using namespace tarvo;
    const EncodeResult encoded = encodeShiftJis(text);
    if (encoded.refused) return;
    const std::string decoded = decodeShiftJis(encoded.bytes);
    FUZZ_CHECK(encodeShiftJis(decoded).bytes == encoded.bytes);
    FUZZ_CHECK(decodeShiftJis(encodeShiftJis(decoded).bytes) == decoded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    const ByteSpan bytes(data, size);
    checkRoundTrip(decodeShiftJis(bytes));
    checkRoundTrip(std::string_view(reinterpret_cast<const char*>(data), size));  // the bytes as typed UTF-8

    GlyphIndexList glyphs{1, 2, 3};
    GlyphIndicesOfText(glyphs, bytes);
    FUZZ_CHECK(glyphs.size() <= static_cast<std::size_t>(kMaxGlyphs));
    const int cells = kSheetColumns * (kSheetHeight / kGlyphHeight);
    for (int g : glyphs) FUZZ_CHECK(g >= 0 && g < cells);
    return 0;
}
