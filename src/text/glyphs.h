#pragma once
// Glyph rows: the two-byte characters of a name turned into glyph indices and drawn, 16 x 15
// pixels each, from the program's own glyph sheet (256 x 6900 pixels, 1 bit per pixel,
// 16 columns of cells, cell n at x = 16 * (n mod 16), y = 15 * (n div 16)).

#include <vector>

#include "store/bytes.h"
#include "text/pixel_geometry.h"

namespace tarvo {

inline constexpr int kMaxGlyphs = 50;
inline constexpr int kGlyphWidth = 16, kGlyphHeight = 15;
inline constexpr int kSheetWidth = 256, kSheetHeight = 6900;
inline constexpr int kSheetColumns = 16;

using GlyphIndexList = std::vector<int>;

// Replaces the list with the glyph indices of the text's two-byte table codes (at most 50); bytes
// that start no table code are passed one at a time. The text ends at its first NUL, if any.
void GlyphIndicesOfText(GlyphIndexList& list, ByteSpan text);

// The cell of glyph index n in the sheet.
constexpr PixelRect glyphCell(int n) {
    const int left = kGlyphWidth * (n % kSheetColumns), top = kGlyphHeight * (n / kSheetColumns);
    return {left, top, left + kGlyphWidth, top + kGlyphHeight};
}

// The sheet: 6900 rows of 32 bytes, most significant bit = leftmost pixel; bit 1 = white, 0 = black.
ByteSpan glyphSheet();
// True where the pixel (x, y) of the sheet is black (ink).
bool sheetPixelIsInk(int x, int y);

}  // namespace tarvo
