#include "team/tactics_bar.h"

#include <algorithm>

#include "records/team_fields.h"

namespace tarvo {

namespace {

constexpr int kBarOffset = 50;  // the bar starts this far right of the field's inner left edge
constexpr int kBarUnit = 5;     // pixels per shown tactics unit

}  // namespace

TacticsBar tacticsBar(int left, int top, int /*width*/, int height, int value) {
    // The field's inner edges lie one pixel inside its frame.
    const int barLeft = left + 1 + kBarOffset;
    const int units = std::clamp(value, 0, kTacticsShownMax);
    return {{barLeft, top + 1, barLeft + kBarUnit * units, top + height - 1},
            {barLeft, top, barLeft + kBarUnit * kTacticsShownMax, top + height}};
}

}  // namespace tarvo
