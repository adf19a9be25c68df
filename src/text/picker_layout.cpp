#include "text/picker_layout.h"

#include <charconv>
#include <cstdio>

#include "text/glyphs.h"

namespace tarvo::picker {

std::optional<Cell> cellAt(int x, int y) {
    if (x < kGridLeft || x >= kGridLeft + kGridWidth || y < kGridTop || y >= kGridTop + kGridHeight)
        return std::nullopt;
    return Cell{(y - kGridTop) / kCellHeight, (x - kGridLeft) / kCellWidth};
}

int glyphIndexAt(int page, Cell cell) { return (cell.row + kRows * page) * kColumns + cell.column; }

PixelRect glyphTarget(Cell cell) {
    const int left = kGridLeft + 2 + kCellWidth * cell.column;
    const int top = kGridTop + 2 + kCellHeight * cell.row;
    return {left, top, left + kGlyphWidth, top + kGlyphHeight};
}

PixelRect sheetSource(int page, Cell cell) { return glyphCell(glyphIndexAt(page, cell)); }

PixelRect selectionRect(Cell cell) {
    const int left = kGridLeft + kCellWidth * cell.column;
    const int top = kGridTop + kCellHeight * cell.row;
    return {left, top, left + kCellWidth + 1, top + kCellHeight + 1};
}

PixelRect gridArea() { return {kGridLeft, kGridTop, kGridLeft + kGridWidth + 1, kGridTop + kGridHeight + 1}; }

std::string hexOfCode(std::array<std::uint8_t, 2> code) {
    char text[8];
    std::snprintf(text, sizeof text, "%X%X", code[0], code[1]);
    return text;
}

std::optional<int> parsePage(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    int page = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), page);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (page < kFirstPage || page > kLastPage) return std::nullopt;
    return page;
}

std::optional<int> nextPage(int page) {
    if (page >= kLastPage) return std::nullopt;
    return page + 1;
}

std::optional<int> previousPage(int page) {
    if (page <= kFirstPage) return std::nullopt;
    return page - 1;
}

}  // namespace tarvo::picker
