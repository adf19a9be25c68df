#pragma once
// Points and rectangles in pixels of a window's client area or of the glyph sheet, for the drawing
// maths that is kept apart from the windows so that it can be tested without a screen.

namespace tarvo {

struct PixelPoint {
    int x, y;
    bool operator==(const PixelPoint&) const = default;
};

// A rectangle with exclusive right and bottom edges.
struct PixelRect {
    int left, top, right, bottom;
    bool operator==(const PixelRect&) const = default;
};

}  // namespace tarvo
