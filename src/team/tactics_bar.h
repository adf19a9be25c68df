#pragma once
// Where the team editor draws the bar beside each tactics field, in pixels of the window's client
// area: a bar five pixels a shown unit, starting a little right of the field's inner left edge.

#include "text/pixel_geometry.h"

namespace tarvo {

struct TacticsBar {
    PixelRect bar;   // what the value fills; empty for a value of 0 or less
    PixelRect area;  // what any value may fill: repainting it redraws the bar whole
};

// The bar of a tactics field whose frame is the rectangle (left, top, width, height), showing
// `value`; a value past the shown maximum draws a full bar.
TacticsBar tacticsBar(int left, int top, int width, int height, int value);

}  // namespace tarvo
