#include "text/glyphs.h"

#include <algorithm>

#include "text/embedded_resources.h"
#include "text/jiscode.h"

namespace tarvo {

namespace {
constexpr std::size_t kSheetRowBytes = kSheetWidth / 8;
}

void GlyphIndicesOfText(GlyphIndexList& list, ByteSpan text) {
    list.clear();
    const auto end = static_cast<std::size_t>(std::find(text.begin(), text.end(), 0) - text.begin());
    std::size_t p = 0;
    while (p < end) {
        // The byte after the last one is the terminating NUL, which no table code has as trail.
        const std::uint8_t trail = p + 1 < end ? text[p + 1] : 0;
        if (const auto n = indexOfCode(text[p], trail)) {
            if (list.size() < kMaxGlyphs) list.push_back(*n);
            p += 2;
        } else {
            p += 1;
        }
    }
}

ByteSpan glyphSheet() {
    const ByteSpan sheet = embedded::glyphs();
    return sheet.size() == kSheetRowBytes * kSheetHeight ? sheet : ByteSpan{};
}

bool sheetPixelIsInk(int x, int y) {
    const ByteSpan sheet = glyphSheet();
    if (sheet.empty() || x < 0 || y < 0 || x >= kSheetWidth || y >= kSheetHeight) return false;
    const std::uint8_t bits = sheet[static_cast<std::size_t>(y) * kSheetRowBytes + static_cast<std::size_t>(x) / 8];
    return ((bits >> (7 - x % 8)) & 1) == 0;
}

}  // namespace tarvo
