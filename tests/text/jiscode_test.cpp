// The code table and glyph rows: the table's fixed points, lookups both ways, and names turned
// into glyph indices.

#include <gtest/gtest.h>

#include <map>
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

// The JIS X 0208 row (1 to 94) of a two-byte Shift-JIS code.
int jisRow(int code) {
    const int lead = code >> 8, trail = code & 0xFF;
    return (lead - (lead <= 0x9F ? 0x81 : 0xC1)) * 2 + 1 + (trail >= 0x9F ? 1 : 0);
}

TEST(JisCodeTable, HoldsTheCharacterSetThenTheExtensionRowsThenTheIdeographicSpace) {
    ASSERT_EQ(JISCODE().size(), 14510u);
    struct FixedPoint {
        int index;
        int code;
    };
    for (const auto& [index, code] : std::vector<FixedPoint>{
             {0, 0x8141}, {209, 0x82A0}, {6877, 0xEAA4}, {6878, 0xED40}, {6878 + 62, 0xED7E},
             {6878 + 63, 0xED80}, {7253, 0xEEFC}, {7254, 0x8140}}) {
        EXPECT_EQ(codeOf(index), code) << "entry " << index;
    }
    for (int n = 1; n < kIdeographicSpaceIndex; ++n) {
        ASSERT_LT(codeOf(n - 1), codeOf(n)) << "entries " << n - 1 << " and " << n << " out of order";
    }
}

TEST(JisCodeTable, HasEveryRowOfTheCharacterSetComplete) {
    // Characters per row of JIS X 0208 (1990): symbols, digits and Latin, kana, Greek, Cyrillic,
    // box drawing, then the two kanji levels (rows 16 to 47 and 48 to 84).
    std::map<int, int> expected = {{1, 94}, {2, 53}, {3, 62}, {4, 83}, {5, 86}, {6, 48}, {7, 66}, {8, 32}};
    for (int row = 16; row <= 83; ++row) expected[row] = 94;
    expected[47] = 51;
    expected[84] = 6;
    expected[1] -= 1;  // the ideographic space comes last, not in its row

    std::map<int, int> counted;
    for (int n = 0; n < 6878; ++n) ++counted[jisRow(codeOf(n))];
    EXPECT_EQ(counted, expected);

    int extension = 0;
    for (int n = 6878; n < kIdeographicSpaceIndex; ++n) {
        const int code = codeOf(n), trail = code & 0xFF;
        extension += (code >> 8 == 0xED || code >> 8 == 0xEE) && trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
    }
    EXPECT_EQ(extension, 376);
}

TEST(JisCodeTable, LooksCodesUpBothWays) {
    std::set<int> seen;
    for (int n = 0; n < kJisCodeCount; ++n) {
        const auto code = codeAtIndex(n);
        EXPECT_TRUE(seen.insert(code[0] << 8 | code[1]).second) << "duplicate code at " << n;
        EXPECT_EQ(indexOfCode(code[0], code[1]), n) << std::hex << "code " << (code[0] << 8 | code[1]);
    }
    for (const int n : {kJisCodeCount, kJisCodeCount + 105, 100000, -1}) EXPECT_EQ(codeOf(n), 0x8140) << n;

    // Unassigned codes, the code page's own rows outside the table, one-byte pairs.
    for (const int code : {0x81AD, 0x8740, 0x879C, 0xEAA5, 0xEE7F, 0xEF40, 0xFA40, 0xFC4B, 0x4142, 0x82FF}) {
        EXPECT_FALSE(indexOfCode(static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code)))
            << std::hex << code;
    }
}

struct GlyphCase {
    const char* name;
    Bytes text;
    GlyphIndexList expected;
};

Bytes repeated(Bytes unit, int times) {
    Bytes out;
    for (int i = 0; i < times; ++i) out.insert(out.end(), unit.begin(), unit.end());
    return out;
}

TEST(GlyphIndicesOfText, TurnsTheTwoByteCharactersOfANameIntoGlyphs) {
    const std::vector<GlyphCase> cases = {
        {"empty", {}, {}},
        {"ASCII only", {'S', 'a', 'k', 'u'}, {}},
        {"hiragana between letters", {0x41, 0x82, 0xA0, 0x42}, {209}},
        {"trailing lead byte before the NUL", {'A', 0x82, 0x00}, {}},
        {"trailing lead byte at the span's end", {'A', 0x82}, {}},
        {"ideographic space", {0x81, 0x40}, {7254}},
        {"first entry", {0x81, 0x41}, {0}},
        {"last extension code", {0xEE, 0xFC}, {7253}},
        {"extension codes", {0xED, 0x40, 0xEE, 0xED}, {6878, 7253 - 15}},
        {"stops at the first NUL", {0x82, 0xA0, 0x00, 0x82, 0xA0}, {209}},
        {"code missing from the table is passed one byte at a time", {0x87, 0x82, 0xA0}, {209}},
        {"half-width katakana then hiragana", {0xB1, 0x82, 0xA0}, {209}},
        {"a lead byte followed by ASCII", {0x82, 0x41, 0x82, 0xA0}, {209}},
        {"fifteen two-byte characters", repeated({0x82, 0xA0}, 15), GlyphIndexList(15, 209)},
        {"fifty-one characters keep fifty", repeated({0x88, 0x9F}, 51), GlyphIndexList(50, *indexOfCode(0x88, 0x9F))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ": " + test::hex(c.text));
        GlyphIndexList list = {1, 2, 3};  // replaced, not appended to
        GlyphIndicesOfText(list, c.text);
        EXPECT_EQ(list, c.expected);
    }
}

int inkInCell(int n) {
    int ink = 0;
    const int x0 = kGlyphWidth * (n % kSheetColumns), y0 = kGlyphHeight * (n / kSheetColumns);
    for (int y = y0; y < y0 + kGlyphHeight; ++y) {
        for (int x = x0; x < x0 + kGlyphWidth; ++x) ink += sheetPixelIsInk(x, y);
    }
    return ink;
}

TEST(GlyphSheet, HoldsOneGlyphPerTableEntryAndBlankCellsAfterThem) {
    ASSERT_EQ(glyphSheet().size(), static_cast<std::size_t>(kSheetWidth / 8 * kSheetHeight));
    int blankGlyphs = 0;
    for (int n = 0; n < kIdeographicSpaceIndex; ++n) blankGlyphs += inkInCell(n) == 0;
    EXPECT_EQ(blankGlyphs, 0);
    for (int n = kIdeographicSpaceIndex; n < kSheetColumns * kSheetHeight / kGlyphHeight; ++n) {
        EXPECT_EQ(inkInCell(n), 0) << "cell " << n;
    }
    // A kanji of 29 strokes is dense; the full stop before it only marks a corner.
    EXPECT_GT(inkInCell(*indexOfCode(0x9F, 0x54)), 80);
    EXPECT_LT(inkInCell(*indexOfCode(0x81, 0x42)), 15);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {256, 0}, {0, 6900}}) {
        EXPECT_FALSE(sheetPixelIsInk(x, y)) << x << "," << y;
    }
}

}  // namespace
}  // namespace tarvo
