#include "text/picker_layout.h"

#include <gtest/gtest.h>

#include "text/jiscode.h"

namespace tarvo::picker {
namespace {

TEST(PickerLayout, PointsMapToTheCellTheyLieIn) {
    struct Case {
        int x, y;
        std::optional<Cell> cell;
    };
    const Case cases[] = {
        {32, 28, Cell{0, 0}},     {50, 47, Cell{0, 0}},     {51, 28, Cell{0, 1}},  // a vertical line starts a column
        {335, 427, Cell{19, 15}}, {335, 48, Cell{1, 15}},   {32 + 19 * 7, 28 + 20 * 13, Cell{13, 7}},
        {31, 100, std::nullopt},  {336, 100, std::nullopt}, {100, 27, std::nullopt}, {100, 428, std::nullopt},
        {-5, -5, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "point " << c.x << "," << c.y);
        EXPECT_EQ(cellAt(c.x, c.y), c.cell);
    }
}

TEST(PickerLayout, CellsAddressGlyphsAndSheetRowsOfTheirPage) {
    EXPECT_EQ(glyphIndexAt(0, {0, 0}), 0);
    EXPECT_EQ(glyphIndexAt(1, {0, 0}), 320);
    EXPECT_EQ(glyphIndexAt(22, {13, 6}), kIdeographicSpaceIndex);
    EXPECT_EQ(glyphIndexAt(22, {19, 15}), 7359);

    EXPECT_EQ(sheetSource(22, {13, 6}), (PixelRect{96, 6600 + 195, 112, 6600 + 210}));
    EXPECT_EQ(sheetSource(0, {19, 15}), (PixelRect{240, 285, 256, 300}));
    EXPECT_EQ(glyphTarget({0, 0}), (PixelRect{34, 30, 50, 45}));
    EXPECT_EQ(glyphTarget({19, 15}), (PixelRect{34 + 19 * 15, 30 + 400 - 20, 34 + 19 * 15 + 16, 30 + 380 + 15}));
    // The last page's last sheet row is the sheet's last.
    EXPECT_EQ(sheetSource(kLastPage, {19, 0}).bottom, 6900);
}

TEST(PickerLayout, SelectionOutlineCoversTheCellAndItsGridLines) {
    EXPECT_EQ(selectionRect({0, 0}), (PixelRect{32, 28, 52, 49}));
    EXPECT_EQ(selectionRect({19, 15}), (PixelRect{32 + 19 * 15, 28 + 380, 52 + 19 * 15, 49 + 380}));
    EXPECT_EQ(gridArea(), (PixelRect{32, 28, 337, 429}));
    // Every outline lies inside the area a page change redraws.
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const PixelRect s = selectionRect({r, c});
            const PixelRect g = gridArea();
            ASSERT_TRUE(s.left >= g.left && s.top >= g.top && s.right <= g.right + 1 && s.bottom <= g.bottom + 1)
                << r << "," << c;
        }
}

TEST(PickerLayout, HexShowsEachByteWithoutLeadingZerosInUpperCase) {
    EXPECT_EQ(hexOfCode({0x81, 0x40}), "8140");
    EXPECT_EQ(hexOfCode({0xEE, 0xFC}), "EEFC");
    EXPECT_EQ(hexOfCode({0x82, 0xA0}), "82A0");
    EXPECT_EQ(hexOfCode({0x81, 0x0A}), "81A");
    EXPECT_EQ(hexOfCode(codeAtIndex(7300)), "8140");
}

TEST(PickerLayout, PagesStayWithin0To22) {
    const std::pair<const char*, std::optional<int>> typed[] = {
        {"0", 0},  {"22", 22},           {"7", 7},           {"007", 7},           {" 5 ", 5},
        {"23", std::nullopt}, {"-1", std::nullopt}, {"", std::nullopt}, {"x", std::nullopt},
        {"1 2", std::nullopt}, {"4294967296", std::nullopt}, {"2a", std::nullopt},
    };
    for (const auto& [text, page] : typed) {
        SCOPED_TRACE(text);
        EXPECT_EQ(parsePage(text), page);
    }
    EXPECT_EQ(nextPage(0), 1);
    EXPECT_EQ(nextPage(21), 22);
    EXPECT_EQ(nextPage(22), std::nullopt);
    EXPECT_EQ(previousPage(22), 21);
    EXPECT_EQ(previousPage(1), 0);
    EXPECT_EQ(previousPage(0), std::nullopt);
}

}  // namespace
}  // namespace tarvo::picker
