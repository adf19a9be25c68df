#pragma once
// The geometry of the Shift-JIS picker's glyph grid, in pixels of the picker's client area: 16
// columns of 19 pixels and 20 rows of 20 pixels from (32, 28), one page of the glyph sheet each.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/pixel_geometry.h"

namespace tarvo::picker {

inline constexpr int kGridLeft = 32, kGridTop = 28;
inline constexpr int kCellWidth = 19, kCellHeight = 20;
inline constexpr int kColumns = 16, kRows = 20;
inline constexpr int kGridWidth = kColumns * kCellWidth;  // 304
inline constexpr int kGridHeight = kRows * kCellHeight;   // 400
inline constexpr int kFirstPage = 0, kLastPage = 22;
inline constexpr int kCellsPerPage = kColumns * kRows;  // 320

struct Cell {
    int row, column;
    bool operator==(const Cell&) const = default;
};

// What the picker remembers while its window is closed.
struct PickerState {
    int page = kFirstPage;
    int gotoPage = kFirstPage;
};

// The cell under a point, or none outside the grid (its right and bottom lines belong to no cell).
std::optional<Cell> cellAt(int x, int y);
// The glyph index of a cell on a page.
int glyphIndexAt(int page, Cell cell);
// Where a cell's glyph is drawn (top-left), and which 16 x 15 part of the sheet it shows.
PixelRect glyphTarget(Cell cell);
PixelRect sheetSource(int page, Cell cell);
// The red outline of a selected cell; it reaches one pixel past the cell's grid lines.
PixelRect selectionRect(Cell cell);
// The grid area that a page change redraws.
PixelRect gridArea();

// The code as the HEX field shows it: each byte in hexadecimal without leading zeros, upper case.
std::string hexOfCode(std::array<std::uint8_t, 2> code);
// A page number typed by the user: a whole number 0 to 22, or none.
std::optional<int> parsePage(std::string_view text);
// ">>" and "<<": the new page, or none at the last or first page.
std::optional<int> nextPage(int page);
std::optional<int> previousPage(int page);

}  // namespace tarvo::picker
