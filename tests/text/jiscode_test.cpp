// The code table and glyph sheet: the table's fixed points, lookups both ways, and names turned
// into glyph indices.

#include <gtest/gtest.h>

#include <algorithm>
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
    const int indices[] = {0, 209, 6877, 6878, 6941, 7253, 7254, 7255, -1};
    const int codes[] = {0x8141, 0x82A0, 0xEAA4, 0xED40, 0xED80, 0xEEFC, 0x8140, 0x8140, 0x8140};
    for (std::size_t i = 0; i < std::size(indices); ++i)
        EXPECT_EQ(codeOf(indices[i]), codes[i]) << "entry " << indices[i];
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

// The background pixels of a sheet area that are closed in by ink (not 4-connected to the area's
// edge): the inside of a p-sound's small circle. The two strokes of a voiced mark close in none.
int enclosedPixels(int left, int top, int width, int height) {
    std::vector<int> state(static_cast<std::size_t>(width * height), 0);  // 0 unseen, 1 ink, 2 open
    std::vector<std::pair<int, int>> open;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            auto& s = state[static_cast<std::size_t>(y * width + x)];
            s = sheetPixelIsInk(left + x, top + y) ? 1 : 0;
            if (s == 0 && (x == 0 || y == 0 || x == width - 1 || y == height - 1)) {
                s = 2;
                open.emplace_back(x, y);
            }
        }
    while (!open.empty()) {
        const auto [x, y] = open.back();
        open.pop_back();
        for (const auto& [nx, ny] : {std::pair{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}}) {
            if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
            auto& s = state[static_cast<std::size_t>(ny * width + nx)];
            if (s == 0) {
                s = 2;
                open.emplace_back(nx, ny);
            }
        }
    }
    return static_cast<int>(std::ranges::count(state, 0));
}

// Every voiced kana and its p-sound (ba/pa ... bo/po, in hiragana and katakana), and the lone marks,
// are told apart by their marks: the p-sound's circle closes in background, the voiced strokes do not.
// A sheet squeezed to 15 rows by merging rows runs the two strokes together into a closed shape.
TEST(GlyphSheet, VoicedAndSemiVoicedMarksDiffer) {
    const std::pair<std::uint16_t, std::uint16_t> pairs[] = {
        {0x814A, 0x814B},                                                                           // the marks
        {0x82CE, 0x82CF}, {0x82D1, 0x82D2}, {0x82D4, 0x82D5}, {0x82D7, 0x82D8}, {0x82DA, 0x82DB},   // ba-po
        {0x836F, 0x8370}, {0x8372, 0x8373}, {0x8375, 0x8376}, {0x8378, 0x8379}, {0x837B, 0x837C}};  // BA-PO
    const auto cellOf = [](std::uint16_t code) {
        GlyphIndexList list;
        GlyphIndicesOfText(list, Bytes{static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code & 0xFF)});
        return list.size() == 1 ? glyphCell(list[0]) : PixelRect{};
    };
    for (const auto& [voiced, semiVoiced] : pairs) {
        SCOPED_TRACE(::testing::Message() << std::hex << voiced << " and " << semiVoiced);
        const PixelRect a = cellOf(voiced), b = cellOf(semiVoiced);
        ASSERT_TRUE(a.right > a.left && b.right > b.left);
        // A kana's mark stands in the upper right quarter of its 16 x 15 cell; a lone mark anywhere.
        const bool lone = voiced == 0x814A;
        const int dx = lone ? 0 : 8, width = lone ? 16 : 8, height = lone ? 15 : 8;
        EXPECT_EQ(enclosedPixels(a.left + dx, a.top, width, height), 0);
        EXPECT_GT(enclosedPixels(b.left + dx, b.top, width, height), 0);
    }
}

}  // namespace
}  // namespace tarvo
