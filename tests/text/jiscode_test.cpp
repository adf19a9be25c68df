// The code table and glyph sheet: the table's fixed points, lookups both ways, and names turned
// into glyph indices.

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "support/sample.h"
#include "text/glyphs.h"
#include "text/jiscode.h"

namespace tarvo {
namespace {

int codeOf(int n) {
    const auto code = codeAtIndex(n);
    return code[0] << 8 | code[1];
}

TEST(JisCodeTable, FixedPointsOrderAndLookupsBothWays) {
    ASSERT_EQ(JISCODE().size(), 14510u);
    for (auto [index, code] : std::vector<std::pair<int, int>>{{0, 0x8141},
                                                               {209, 0x82A0},
                                                               {6877, 0xEAA4},
                                                               {6878, 0xED40},
                                                               {6941, 0xED80},
                                                               {7253, 0xEEFC},
                                                               {7254, 0x8140},
                                                               {7255, 0x8140},
                                                               {-1, 0x8140}})
        EXPECT_EQ(codeOf(index), code) << "entry " << index;
    std::set<int> seen;
    for (int n = 0; n < kJisCodeCount; ++n) {
        if (n > 0 && n < kIdeographicSpaceIndex) {
            ASSERT_LT(codeOf(n - 1), codeOf(n)) << "entry " << n << " out of order";
        }
        ASSERT_TRUE(seen.insert(codeOf(n)).second) << "duplicate code at " << n;
        ASSERT_EQ(indexOfCode(codeAtIndex(n)[0], codeAtIndex(n)[1]), n) << std::hex << codeOf(n);
    }
    // Unassigned codes, the code page's own rows outside the table, one-byte pairs.
    for (const int code : {0x81AD, 0x8740, 0xEAA5, 0xEE7F, 0xEF40, 0xFA40, 0x4142, 0x82FF})
        EXPECT_FALSE(indexOfCode(static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code)))
            << std::hex << code;
}

TEST(GlyphIndicesOfText, TurnsTheTwoByteCharactersOfANameIntoGlyphs) {
    Bytes fiftyOne;
    for (int i = 0; i < 51; ++i) fiftyOne.insert(fiftyOne.end(), {0x88, 0x9F});
    const std::vector<std::pair<Bytes, GlyphIndexList>> cases = {
        {{'S', 'a', 'k', 'u'}, {}},
        {{0x41, 0x82, 0xA0, 0x42}, {209}},
        {{'A', 0x82, 0x00}, {}},  // a trailing lead byte before the NUL
        {{'A', 0x82}, {}},        // and at the span's end
        {{0x81, 0x40, 0xED, 0x40, 0xEE, 0xFC}, {7254, 6878, 7253}},
        {{0x82, 0xA0, 0x00, 0x82, 0xA0}, {209}},                   // stops at the first NUL
        {{0x87, 0x82, 0xA0}, {209}},                               // a code missing from the table goes byte by byte
        {fiftyOne, GlyphIndexList(50, *indexOfCode(0x88, 0x9F))},  // fifty at most
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(test::hex(text));
        GlyphIndexList list = {1, 2, 3};  // replaced, not appended to
        GlyphIndicesOfText(list, text);
        EXPECT_EQ(list, expected);
    }
}

TEST(GlyphSheet, HoldsOneGlyphPerTableEntryAndBlankCellsAfterThem) {
    ASSERT_EQ(glyphSheet().size(), static_cast<std::size_t>(kSheetWidth / 8 * kSheetHeight));
    for (int n = 0; n < kSheetColumns * kSheetHeight / kGlyphHeight; ++n) {
        int ink = 0;
        const int x0 = kGlyphWidth * (n % kSheetColumns), y0 = kGlyphHeight * (n / kSheetColumns);
        for (int y = y0; y < y0 + kGlyphHeight; ++y)
            for (int x = x0; x < x0 + kGlyphWidth; ++x) ink += sheetPixelIsInk(x, y);
        EXPECT_EQ(ink > 0, n < kIdeographicSpaceIndex) << "cell " << n;
    }
    EXPECT_FALSE(sheetPixelIsInk(-1, 0));
    EXPECT_FALSE(sheetPixelIsInk(0, 6900));
}

}  // namespace
}  // namespace tarvo
