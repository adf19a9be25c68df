#include "text/picker_layout.h"

#include <gtest/gtest.h>

#include "text/jiscode.h"

namespace tarvo::picker {
namespace {

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
    const std::pair<const char*, std::optional<int>> typed[] = {
        {"0", 0},
        {"22", 22},
        {"007", 7},
        {" 5 ", 5},
        {"23", std::nullopt},
        {"-1", std::nullopt},
        {"", std::nullopt},
        {"1 2", std::nullopt},
        {"4294967296", std::nullopt},
        {"2a", std::nullopt},
    };
    for (const auto& [text, page] : typed) EXPECT_EQ(parsePage(text), page) << text;
    EXPECT_EQ(nextPage(22), std::nullopt);
    EXPECT_EQ(previousPage(0), std::nullopt);
    EXPECT_EQ(hexOfCode({0xEE, 0xFC}), "EEFC");
    EXPECT_EQ(hexOfCode({0x81, 0x0A}), "81A");
}

}  // namespace
}  // namespace tarvo::picker
