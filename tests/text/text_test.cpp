// Name text: conversion between name bytes and Unicode (fixed cases, refusals, both round trips
// over every code of the table and every one-byte character), the code table and glyph sheet,
// and the picker's cells, pages and codes.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "support/sample.h"
#include "text/glyphs.h"
#include "text/jiscode.h"
#include "text/picker_layout.h"
#include "text/sjis.h"

namespace tarvo {
namespace {

TEST(ShiftJis, DecodesEveryByteString) {
    const std::vector<std::pair<Bytes, std::string>> cases = {
        {{'R', 'i', 'o', 0x5C, 0x7E}, "Rio\\~"},
        {{0x82, 0xA0, 0xB1, 0xDF}, "あｱﾟ"},
        {{0x81, 0xCA, 0xEE, 0xF9}, "￢¬"},  // the table's second code of the sign has its own character
        {{0xED, 0x40, 0xFA, 0x5C}, "纊纊"},
        {{0x87, 0x54, 0xF0, 0x40}, "Ⅰ\xEE\x80\x80"},  // NEC row 13, user-defined area (U+E000)
        // Bytes that start nothing, a lead byte at the end or before a byte that ends no code (an
        // ASCII byte after it is read again), unassigned codes.
        {{0x80, 0xA0, 0xFD, 'A', 0x82}, "\uFFFD\uFFFD\uFFFDA\uFFFD"},
        {{0x82, 0x41, 0xEE, 0xED, 0x82, 0x00}, "\uFFFDA\uFFFD\uFFFD" + std::string(1, '\0')},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(decodeShiftJis(bytes), text) << test::hex(bytes);
}

TEST(ShiftJis, EncodesTableCodesFirstThenOneByteThenTheCodePage) {
    const std::vector<std::pair<Bytes, std::string>> cases = {
        {{'A', 0x00, 0x82, 0xA0, 0xB1}, std::string("A") + '\0' + "あｱ"},
        {{0xED, 0x40, 0xEE, 0xEF}, "纊ⅰ"},               // the extension rows' codes, not the code page's 0xFA..
        {{0x81, 0xE6, 0x87, 0x54}, "∵Ⅰ"},                // ∵ not by its NEC row 13 code; Ⅰ has only that one
        {{0x81, 0x60, 0x81, 0x7C, 0x81, 0x91}, "〜−¢"},  // older mappings of full-width symbols
    };
    for (const auto& [bytes, text] : cases) {
        const EncodeResult result = encodeShiftJis(text);
        EXPECT_FALSE(result.refused) << text;
        EXPECT_EQ(test::hex(result.bytes), test::hex(bytes)) << text;
    }
    for (const auto& [text, refused] : std::vector<std::pair<std::string, char32_t>>{{"Go\xF0\x9F\x98\x80!", 0x1F600},
                                                                                     {"é", 0xE9},
                                                                                     {"ab\xFF", 0xFFFD},
                                                                                     {"\xED\xA0\x80", 0xFFFD},
                                                                                     {"あ\xE3\x81", 0xFFFD}}) {
        const EncodeResult result = encodeShiftJis(text);
        EXPECT_EQ(static_cast<std::uint32_t>(result.refused.value_or(0)), static_cast<std::uint32_t>(refused)) << text;
        EXPECT_TRUE(result.bytes.empty());
    }
    EXPECT_EQ(refusalMessage(0xE9), "the character é (U+00E9) has no Shift-JIS code");
}

// Bytes to text and back, and text to bytes and back, for every table code but the two
// unassigned ones and every one-byte character (ASCII and the half-width katakana).
TEST(ShiftJis, RoundTripsOverEveryCode) {
    std::vector<Bytes> codes;
    for (int n = 0; n < kJisCodeCount; ++n) codes.push_back({codeAtIndex(n)[0], codeAtIndex(n)[1]});
    for (int b = 0; b < 256; ++b) codes.push_back({static_cast<std::uint8_t>(b)});
    std::set<std::string> characters;
    for (const Bytes& bytes : codes) {
        const std::string text = decodeShiftJis(bytes);
        if (text == "\uFFFD") continue;
        SCOPED_TRACE(test::hex(bytes));
        ASSERT_TRUE(characters.insert(text).second) << "two codes give one character";
        const EncodeResult encoded = encodeShiftJis(text);
        ASSERT_FALSE(encoded.refused);
        EXPECT_EQ(test::hex(encoded.bytes), test::hex(bytes));
    }
    EXPECT_EQ(characters.size(), static_cast<std::size_t>(kJisCodeCount - 2 + 128 + 63));
}

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

// The sheet's bit order: the most significant bit is the leftmost pixel. A sheet read with each
// 8-pixel run mirrored would put the corner bracket's stroke at the cell's right edge and the L's
// foot to the left of its stem.
TEST(GlyphSheet, PixelsLieWhereTheGlyphDrawsThem) {
    const struct {
        std::uint16_t code;
        std::vector<std::string> rows;  // the cell's first rows, '#' ink
    } glyphs[] = {
        {0x8175, {"................", "........######..", "........#.......", "........#......."}},  // 「
        {0x826B,
         {"................", "................", "...###..........", "....#...........", "....#...........",
          "....#...........", "....#...........", "....#...........", "....#...........", "....#...........",
          "....#......#....", "....#.....#.....", "...########....."}},  // Ｌ
    };
    for (const auto& g : glyphs) {
        GlyphIndexList list;
        GlyphIndicesOfText(list,
                           Bytes{static_cast<std::uint8_t>(g.code >> 8), static_cast<std::uint8_t>(g.code & 0xFF)});
        ASSERT_EQ(list.size(), 1u);
        const PixelRect cell = glyphCell(list[0]);
        for (std::size_t y = 0; y < g.rows.size(); ++y) {
            std::string row;
            for (int x = cell.left; x < cell.right; ++x)
                row += sheetPixelIsInk(x, cell.top + static_cast<int>(y)) ? '#' : '.';
            EXPECT_EQ(row, g.rows[y]) << std::hex << g.code << " row " << y;
        }
    }
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

using namespace picker;

TEST(PickerLayout, PointsMapToTheirCellAndCellsToTheirGlyph) {
    const std::tuple<int, int, std::optional<Cell>> points[] = {
        {32, 28, Cell{0, 0}},     {50, 47, Cell{0, 0}},     {51, 28, Cell{0, 1}},  // a grid line starts a column
        {335, 427, Cell{19, 15}}, {31, 100, std::nullopt},  {336, 100, std::nullopt},
        {100, 27, std::nullopt},  {100, 428, std::nullopt},
    };
    for (const auto& [x, y, cell] : points) EXPECT_EQ(cellAt(x, y), cell) << x << "," << y;
    EXPECT_EQ(glyphIndexAt(1, {0, 0}), 320);
    EXPECT_EQ(glyphIndexAt(22, {13, 6}), kIdeographicSpaceIndex);
    EXPECT_EQ(glyphIndexAt(22, {19, 15}), 7359);
    EXPECT_EQ(sheetSource(22, {13, 6}), (PixelRect{96, 6600 + 195, 112, 6600 + 210}));
    EXPECT_EQ(sheetSource(kLastPage, {19, 15}).bottom, 6900);  // the sheet's last row
    EXPECT_EQ(glyphTarget({19, 15}), (PixelRect{34 + 19 * 15, 30 + 380, 34 + 19 * 15 + 16, 30 + 380 + 15}));
    EXPECT_EQ(selectionRect({19, 15}), (PixelRect{32 + 19 * 15, 28 + 380, 52 + 19 * 15, 49 + 380}));
}

TEST(PickerLayout, PagesAndCodes) {
    // clang-format off
    const std::pair<const char*, std::optional<int>> typed[] = {
        {"0", 0}, {"22", 22}, {"007", 7}, {" 5 ", 5}, {"23", std::nullopt}, {"-1", std::nullopt}, {"", std::nullopt},
        {"1 2", std::nullopt}, {"4294967296", std::nullopt}, {"2a", std::nullopt},
    };
    // clang-format on
    for (const auto& [text, page] : typed) EXPECT_EQ(parsePage(text), page) << text;
    EXPECT_EQ(nextPage(22), std::nullopt);
    EXPECT_EQ(previousPage(0), std::nullopt);
    EXPECT_EQ(hexOfCode({0xEE, 0xFC}), "EEFC");
    EXPECT_EQ(hexOfCode({0x81, 0x0A}), "81A");
}

}  // namespace
}  // namespace tarvo
